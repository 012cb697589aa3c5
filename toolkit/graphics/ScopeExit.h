// Clean-up that runs however a scope is left: at its end, or while a failure passes through.
#pragma once

#include <exception>
#include <utility>

template <class TAction> class TScopeExit {
public:
    explicit TScopeExit(TAction Action) : FAction(std::move(Action)) {}
    // A clean-up that fails at the end of the scope reports its failure. While another failure
    // is already on its way out, that one is the failure to report: the clean-up's own is
    // dropped, as two cannot leave one scope.
    ~TScopeExit() noexcept(false) {
        if (FDismissed) return;
        if (std::uncaught_exceptions() == FUncaught) {
            FAction();
            return;
        }
        try {
            FAction();
        } catch (...) {
        }
    }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

    // The scope went as it should: the clean-up is not wanted any more.
    void Dismiss() { FDismissed = true; }

private:
    TAction FAction;
    int FUncaught = std::uncaught_exceptions();
    bool FDismissed = false;
};
