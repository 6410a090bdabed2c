#include "PatchLayout.h"

#include "ChannelNotation.h"

#include <QCoreApplication>

namespace kestrava {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PatchTable)
};

int ceilDiv(int a, int b) {
    return (a + b - 1) / b;
}

constexpr int kLine = LineChannelCount;

} // namespace

int TPatchLayout::filler() const {
    const int w = std::max(width, 1);
    return (ab && kLine % w != 0) ? w - kLine % w : 0;
}

int TPatchLayout::ColCount() const {
    return 1 + (mode == 0 ? std::max(width, 1) : maxTx);
}

int TPatchLayout::RowCount() const {
    if (mode != 0)
        return maxRx + 3;
    const int w = std::max(width, 1);
    return 1 + (ab ? 2 * ceilDiv(kLine, w) : ceilDiv(maxTx, w));
}

int TPatchLayout::OutputAtCell(int col, int row) const {
    const int w = std::max(width, 1);
    if (col < 1 || row < 1 || col > w)
        return -1;
    int pos = (row - 1) * w + col - 1;
    if (filler() != 0 && pos >= kLine) {
        pos -= filler();
        if (pos < kLine)
            return -1;
    }
    return pos < maxTx ? pos : -1;
}

QPoint TPatchLayout::CellOfOutput(int output) const {
    const int w = std::max(width, 1);
    const int pos = output + (output >= kLine ? filler() : 0);
    return {pos % w + 1, pos / w + 1};
}

TPatchCellLook PatchCellLook(const TPatchCellInput &in, int col, int row, bool stateSelected) {
    const TPatchLayout &l = in.layout;
    const bool o2i = l.mode == 0;
    TPatchCellLook look;
    if (col == 0 || row == 0) {
        look.textColor = in.buttonText;
        look.edge = true;
        if (o2i) {
            if (col == 0 && row == 0) {
                look.text = Texts::tr("出力");
                look.fill = QColor(255, 204, 204);
            } else if (row == 0) {
                look.text = QString::number(col);
                look.fill = QColor(255, 221, 221);
            } else {
                look.text = ChannelText(l.OutputAtCell(1, row), l.ab);
                look.fill = look.text.startsWith(u'B', Qt::CaseInsensitive) ? QColor(255, 238, 204)
                                                                            : QColor(255, 221, 221);
            }
        } else if (col == 0 && row == 0) {
            look.text = Texts::tr("入力");
            look.fill = QColor(204, 255, 204);
        } else if (row == 0) {
            look.text = QString::number(col);
            look.fill = QColor(255, 255, 221);
            look.edge = false;
        } else if (row <= l.maxRx) {
            look.text = ChannelText(row - 1, l.ab);
            look.fill = QColor(221, 255, 221);
        } else if (row == l.maxRx + 1) {
            look.text = Texts::tr("常時");
            look.fill = QColor(204, 255, 255);
        } else {
            look.text = Texts::tr("空");
            look.fill = QColor(204, 204, 204);
        }
        return look;
    }
    const TPatch *memory = in.patches.Current();
    if (!memory) {
        look.drawn = false;
        return look;
    }
    const int o = o2i          ? l.OutputAtCell(col, row)
                  : in.byInput ? in.byInput->Nth(in.patches.RowValue(row), col)
                               : in.patches.NthOutputOf(in.patches.RowValue(row), col);
    if (o < 0) {
        look.fill = stateSelected ? in.highlight : in.workspace;
        look.textColor = stateSelected ? in.highlightText : in.windowText;
        return look;
    }
    if (o2i) {
        const PatchEntry v = (*memory)[std::size_t(o)];
        look.text = v == pvFull ? QStringLiteral("FULL") : ChannelText(v, l.ab);
    } else {
        look.text = ChannelText(o, l.ab);
    }
    const bool highlighted =
        stateSelected || (o2i && o < OutputCount && in.selected[std::size_t(o)]);
    if (highlighted) {
        look.fill = o == in.checkOutput ? QColor(255, 0, 0) : in.highlight;
        look.textColor = in.highlightText;
        return look;
    }
    look.textColor = in.windowText;
    if (o == in.checkOutput)
        look.fill = QColor(255, 0, 0);
    else if (look.text == QLatin1String("FULL") || (!o2i && row == l.maxRx + 1))
        look.fill = QColor(255, 170, 170);
    else if (look.text.isEmpty() || (!o2i && row == l.maxRx + 2))
        look.fill = QColor(170, 170, 204);
    else
        look.fill = in.windowColor;
    return look;
}

int TOutputsByInput::keyOf(PatchEntry v) {
    if (v >= 0 && v < OutputCount)
        return v;
    return v == pvFull ? OutputCount : v == pvNone ? OutputCount + 1 : -1;
}

void TOutputsByInput::Build(const TPatch &patch) {
    start_.fill(0);
    for (const PatchEntry v : patch)
        if (const int k = keyOf(v); k >= 0)
            ++start_[std::size_t(k) + 1];
    for (std::size_t k = 1; k < start_.size(); ++k)
        start_[k] += start_[k - 1];
    std::array<int, kKeys> next{};
    for (int o = 0; o < OutputCount; ++o)
        if (const int k = keyOf(patch[std::size_t(o)]); k >= 0)
            outputs_[std::size_t(start_[std::size_t(k)] + next[std::size_t(k)]++)] = o;
}

int TOutputsByInput::Nth(PatchEntry v, int n) const {
    const int k = keyOf(v);
    if (k < 0 || n < 1)
        return -1;
    const int i = start_[std::size_t(k)] + n - 1;
    return i < start_[std::size_t(k) + 1] ? outputs_[std::size_t(i)] : -1;
}

} // namespace kestrava
