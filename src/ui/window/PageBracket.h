#pragma once

#include "Progress.h"

#include <functional>

namespace kestrava {

class StatusBarProgress;
class TPage;

// The window's transfer bracket: the shown page's views off and the status-bar
// progress running for the length of a transfer; the page shows the result after it.
class TPageBracket : public TransferProgress {
public:
    TPageBracket(StatusBarProgress &progress, std::function<TPage *()> shownPage);
    void Start(const QString &text) override;
    void SetFraction(double fraction) override;
    void Finish(const QString &text) override;

private:
    StatusBarProgress &progress_;
    std::function<TPage *()> shownPage_;
};

} // namespace kestrava
