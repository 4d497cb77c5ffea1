#pragma once
// Work handed from one thread to another through the receiver's event queue:
// postWork() wraps it in an event posted to `receiver`, whose event() hands the
// event to runWork(), on the receiver's thread. Work still waiting when the
// receiver goes is dropped with its event.
//
// The event is made and filled before it is posted, so ThreadSanitizer is told
// of the hand-off (support/ThreadHandoff.h); Qt's queued signals copy their
// arguments inside Qt, where it cannot be told.

#include <QEvent>
#include <QObject>
#include <functional>

// Posts `work` to run on the thread of `receiver`.
void postWork(QObject* receiver, std::function<void()> work);
// Runs `event` when it is work posted to `receiver`; true then.
bool runWork(QObject* receiver, QEvent* event);
