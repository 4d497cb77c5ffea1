#include "erp/FbMaster.h"

#include "support/Platform.h"

namespace fb {

Firebird::IMaster* master() {
    static Firebird::IMaster* const instance = platform::firebirdMaster();
    return instance;
}

Firebird::IUtil* util() {
    return master()->getUtilInterface();
}

Status::Status() : m_wrapper(master()->getStatus()) {}
Status::~Status() { m_wrapper.dispose(); }

QuietStatus::QuietStatus() : m_wrapper(master()->getStatus()) {}
QuietStatus::~QuietStatus() { m_wrapper.dispose(); }

bool QuietStatus::failed() {
    return (m_wrapper.getState() & Firebird::IStatus::STATE_ERRORS) != 0;
}

} // namespace fb
