#include "PageBracket.h"

#include "Page.h"
#include "Usr_spbar.h"

namespace kestrava {

TPageBracket::TPageBracket(StatusBarProgress &progress, std::function<TPage *()> shownPage)
    : progress_(progress), shownPage_(std::move(shownPage)) {}

void TPageBracket::Start(const QString &text) {
    shownPage_()->SetViewsEnabled(false);
    progress_.Start(text);
}

void TPageBracket::SetFraction(double fraction) {
    progress_.SetFraction(fraction);
}

void TPageBracket::Finish(const QString &text) {
    progress_.Finish(text);
    TPage *page = shownPage_();
    page->SetViewsEnabled(true);
    page->Refresh();
}

} // namespace kestrava
