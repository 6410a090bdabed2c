#include "TerminalProgress.h"

namespace kestrava::cli {

void TerminalProgress::Start(const QString &text) {
    text_ = text;
    position_ = 0;
    shown_ = true;
    draw();
}

void TerminalProgress::SetFraction(double fraction) {
    const int p = ProgressPosition(fraction);
    if (!shown_ || p == position_)
        return;
    position_ = p;
    draw();
}

void TerminalProgress::Finish(const QString &text) {
    if (!shown_)
        return;
    position_ = 100;
    draw();
    std::fputc('\n', out_);
    if (!text.isEmpty())
        std::fprintf(out_, "%s\n", text.toUtf8().constData());
    std::fflush(out_);
    shown_ = false;
}

void TerminalProgress::draw() {
    constexpr int kWidth = 30;
    const int filled = position_ * kWidth / 100;
    std::fprintf(out_, "\r%s [%s%s] %3d%%", text_.toUtf8().constData(),
                 QByteArray(filled, '#').constData(), QByteArray(kWidth - filled, '.').constData(),
                 position_);
    std::fflush(out_);
}

} // namespace kestrava::cli
