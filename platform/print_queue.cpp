// A print job's steps on a CUPS queue of the default print server.

#include "platform/internal/cups_p.h"
#include "platform/internal/printing_p.h"

namespace platform::detail {

namespace {

// A job on a CUPS queue of the default print server, through the print system's library
// loaded on the first job. No job is created when that library cannot be loaded.
class CupsQueue : public PrintQueueSteps {
public:
    explicit CupsQueue(const std::string& queue) : mQueue(queue) {}

    int createJob(const std::string& title, const JobOptions& options) override
    {
        mCups = cupsCalls();
        if (!mCups)
            return 0;
        cups_option_t* cupsOptions = nullptr;
        int count = 0;
        for (const auto& [name, value] : options)
            count = mCups->addOption(name.c_str(), value.c_str(), count, &cupsOptions);
        const int job =
            mCups->createJob(CUPS_HTTP_DEFAULT, mQueue.c_str(), title.c_str(), count, cupsOptions);
        mCups->freeOptions(count, cupsOptions);
        return job;
    }
    bool startDocument(int job, const std::string& title) override
    {
        return mCups->startDocument(CUPS_HTTP_DEFAULT, mQueue.c_str(), job, title.c_str(),
                                    CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    }
    bool writeData(int, std::string_view bytes) override
    {
        return mCups->writeRequestData(CUPS_HTTP_DEFAULT, bytes.data(), bytes.size()) ==
               HTTP_STATUS_CONTINUE;
    }
    bool finishDocument(int) override
    {
        return mCups->finishDocument(CUPS_HTTP_DEFAULT, mQueue.c_str()) <
               IPP_STATUS_REDIRECTION_OTHER_SITE;
    }
    void cancelJob(int job) override
    {
        mCups->cancelJob(CUPS_HTTP_DEFAULT, mQueue.c_str(), job, 0);
    }

private:
    std::string mQueue;
    const CupsCalls* mCups = nullptr;
};

} // namespace

std::unique_ptr<PrintQueueSteps> cupsQueue(const std::string& queue)
{
    return std::make_unique<CupsQueue>(queue);
}

} // namespace platform::detail
