#pragma once

// What the platform's printing asks of the printing module (print_setup.cpp, print_job.cpp and
// cups_calls.cpp, with the toolkit's print support), which is loaded by the first page setup or
// print, not at start-up.

#include "platform/printing.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform::detail {

/// The page settings of one PrinterSetup, as the module keeps them.
class PrinterSetupImpl {
public:
    virtual ~PrinterSetupImpl() = default;
    virtual std::unique_ptr<PrinterSetupImpl> clone() const = 0;
    virtual std::string setupString() const = 0;
    virtual void setSetupString(std::string_view text) = 0;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    virtual bool pageSetupDialog() = 0;
    /// OpenPrinterDialog for these settings.
    virtual std::unique_ptr<PrintedPage> openPrinterDialog(std::string_view jobName) = 0;
};

/// One page that a print dialog started (PrintedPage::print).
class PrintedPageImpl {
public:
    virtual ~PrintedPageImpl() = default;
    virtual PrintResult print(const std::function<void(Graphics&)>& draw) = 0;
};

/// The printing module's entry: it makes the settings of a new setup, which hold the default
/// printer's defaults.
class PrintModule {
public:
    virtual std::unique_ptr<PrinterSetupImpl> newSetup() const = 0;

protected:
    ~PrintModule() = default;
};

/// The module's file, and the name of the function it exports that returns its PrintModule.
inline constexpr const char* kPrintModuleFile = "libkestrix_printing.so";
inline constexpr const char* kPrintModuleEntry = "kestrix_printing_module";

} // namespace platform::detail
