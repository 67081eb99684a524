#pragma once
// Event handlers wired to signals. Every handler runs guarded: an exception
// it did not catch is reported in a message box and goes no further (one
// escaping into the toolkit's event loop would be undefined behaviour).

#include "forms/core.h"

#include <QObject>
#include <concepts>
#include <exception>

namespace forms {

// Reports an error that escaped an event handler: a forms error as
// "Unanticipated error <number>: <description>", any other with its text.
void reportUnanticipated(const std::exception_ptr& error) noexcept;

template <class F>
void runGuarded(F&& f) noexcept
{
    try {
        f();
    } catch (...) {
        reportUnanticipated(std::current_exception());
    }
}

// Connects `signal` of `sender` to `handler`, run guarded, for as long as
// `context` lives. The handler takes the signal's arguments or none of them.
template <class Sender, class Signal, class Handler>
QMetaObject::Connection connectGuarded(Sender* sender, Signal signal, QObject* context, Handler handler)
{
    return QObject::connect(sender, signal, context, [handler](auto&&... args)
                                requires std::invocable<const Handler&, decltype(args)...>
                            { runGuarded([&] { handler(args...); }); });
}

}  // namespace forms
