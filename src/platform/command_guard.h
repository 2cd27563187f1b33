#pragma once

#include <exception>
#include <new>
#include <utility>

#include "platform/dialogs.h"
#include "platform/error.h"

namespace corvalo::platform {

// Runs one command handler; an error that escapes it goes to the standard error
// report and the program carries on with the next event (Qt must never see it).
template <class F>
void guarded(Dialogs& dialogs, F&& handler) noexcept {
    try {
        try {
            std::forward<F>(handler)();
        } catch (const std::bad_alloc&) {
            dialogs.showErrorReport("Out of memory");
        } catch (const std::exception& e) {
            dialogs.showErrorReport(e.what());
        }
    } catch (...) {
        // The report itself failed (no memory left for the box): nothing more to do.
    }
}

}  // namespace corvalo::platform
