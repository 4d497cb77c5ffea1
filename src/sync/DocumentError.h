#pragma once
// A movement whose document cannot be built from what the ERP holds (an
// unreadable amount, a discounted item of quantity 0, a cancelled-ticket text
// without "FIMITENS" or with too few fields). The sales upload skips that row,
// leaves its flag and logs the message; the run goes on.

#include "support/Errors.h"

class DocumentError : public AppError {
  public:
    using AppError::AppError;
};
