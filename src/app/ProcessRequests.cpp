#include "app/ProcessRequests.h"

#include "support/Platform.h"

#include <QSocketNotifier>

namespace {
// The handlers are installed once per process; every instance reads the same pipe.
int requestPipe() {
    static const int fd = platform::installProcessRequestPipe();
    return fd;
}
} // namespace

void TProcessRequests::prepare() {
    (void)requestPipe();
}

TProcessRequests::TProcessRequests(QObject* parent) : QObject(parent) {
    const int fd = requestPipe();
    if (fd < 0) return;
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this, fd] {
        for (auto req = platform::readProcessRequest(fd); req != platform::ProcessRequest::None;
             req = platform::readProcessRequest(fd)) {
            if (req == platform::ProcessRequest::Reload)
                emit reloadRequested();
            else
                emit endRequested();
        }
    });
}

TProcessRequests::~TProcessRequests() = default;
