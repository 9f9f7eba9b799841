#pragma once

// A print job between the print dialog that started it and the page it sends (printing
// module only).

#include "platform/internal/print_module_p.h"

#include <QPrinter>
#include <QString>

#include <memory>

namespace platform::detail {

class PrintJob : public PrintedPageImpl {
public:
    PrintResult print(const std::function<void(Graphics&)>& draw) override;

    std::unique_ptr<QPrinter> printer; ///< the job's settings, as the print dialog left them
    /// The print queue the page goes to; empty when it goes to the printer's PDF file.
    QString queue;
    QString jobName;
    bool printed = false;
};

} // namespace platform::detail
