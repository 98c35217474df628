#include "frame/own_texts.h"

namespace kalpo::frame::own {
namespace {

constexpr const Text *kAll[] = {
    &kPaymentMissing,
    &kCooUnread,
    &kProductCode,
    &kModelUnprepared,
    &kReductionConfirm,
    &kReductionAborted,
    &kFileNotWritten,
    &kFileUnread,
    &kInternalError,
    &kUnreadableAnswer,
    &kNak,
    &kNotExecuted,
    &kNotExecutedCheck,
    &kPrinterErrorNumber,
    &kUnknownError,
    &kInvalidPort,
    &kNoCommunication,
    &kUnmappedFieldError,
    &kUnmappedPort,
    &kUnknownResult,
    &kDriverStart,
    &kDriverError,
    &kDriverErrorText,
    &kDriverErrorNumber,
    &kOffline,
    &kPrintError,
    &kCoverOpen,
    &kNoPaper,
    &kBlocked,
    &kIntervention,
    &kFiscalMemoryError,
    &kFiscalMemoryFull,
    &kFiscalMemoryEnding,
    &kSalesClosed,
};

}  // namespace

std::span<const Text *const> all() { return kAll; }

}  // namespace kalpo::frame::own
