#pragma once

// A print job between the print dialog that started it and the page it sends.

#include <QPrinter>
#include <QString>

#include <memory>

namespace platform::detail {

struct PrintedPageImpl {
    std::unique_ptr<QPrinter> printer; ///< the job's settings, as the print dialog left them
    QString jobName;
    bool printed = false;
};

} // namespace platform::detail
