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

namespace {

// What a cell of the patch table is: that, not its text, decides its colours.
enum class PatchCellKind {
    OutputsCorner, // output-to-input view: the corner
    OutputNumber,  // its column numbers
    LineARow,      // its rows starting in line A (or with plain numbers)
    LineBRow,      // its rows starting in line B
    InputsCorner,  // input-to-output view: the corner
    NthNumber,     // its column numbers: the n-th output of a row
    InputRow,      // its rows of one input each
    FullRow,       // its row of the outputs always at full
    UnpatchedRow,  // its row of the outputs patched to nothing
    NoOutput,      // a data cell standing for no output (filler, beyond the last output)
    Patched,       // an output driven by an input
    Full,          // an output always at full
    Unpatched,     // an output patched to nothing
};

// The fixed cells, warm for the outputs' view and cool for the inputs'.
constexpr QRgb kOutputsCornerFill = qRgb(255, 204, 204);
constexpr QRgb kOutputHeaderFill = qRgb(255, 221, 221); // column numbers and line A
constexpr QRgb kLineBHeaderFill = qRgb(255, 238, 204);
constexpr QRgb kInputsCornerFill = qRgb(204, 255, 204);
constexpr QRgb kNthHeaderFill = qRgb(255, 255, 221);
constexpr QRgb kInputHeaderFill = qRgb(221, 255, 221);
constexpr QRgb kFullHeaderFill = qRgb(204, 255, 255);
constexpr QRgb kUnpatchedHeaderFill = qRgb(204, 204, 204);
// The data cells that are not plainly patched.
constexpr QRgb kCheckedFill = qRgb(255, 0, 0); // the output ON is checking
constexpr QRgb kFullFill = qRgb(255, 170, 170);
constexpr QRgb kUnpatchedFill = qRgb(170, 170, 204);

PatchCellKind fixedCellKind(const TPatchLayout &l, int col, int row) {
    using enum PatchCellKind;
    if (l.mode == 0) {
        if (col == 0 && row == 0)
            return OutputsCorner;
        if (row == 0)
            return OutputNumber;
        const int first = l.OutputAtCell(1, row);
        return l.ab && first / kLine == 1 ? LineBRow : LineARow;
    }
    if (col == 0 && row == 0)
        return InputsCorner;
    if (row == 0)
        return NthNumber;
    if (row <= l.maxRx)
        return InputRow;
    return row == l.maxRx + 1 ? FullRow : UnpatchedRow;
}

QString fixedCellText(PatchCellKind kind, const TPatchLayout &l, int col, int row) {
    using enum PatchCellKind;
    switch (kind) {
    case OutputsCorner:
        return Texts::tr("出力");
    case InputsCorner:
        return Texts::tr("入力");
    case LineARow:
    case LineBRow:
        return ChannelText(l.OutputAtCell(1, row), l.ab);
    case InputRow:
        return ChannelText(row - 1, l.ab);
    case FullRow:
        return Texts::tr("常時");
    case UnpatchedRow:
        return Texts::tr("空");
    default:
        return QString::number(col);
    }
}

constexpr QRgb fixedCellFill(PatchCellKind kind) {
    using enum PatchCellKind;
    switch (kind) {
    case OutputsCorner:
        return kOutputsCornerFill;
    case LineBRow:
        return kLineBHeaderFill;
    case InputsCorner:
        return kInputsCornerFill;
    case NthNumber:
        return kNthHeaderFill;
    case InputRow:
        return kInputHeaderFill;
    case FullRow:
        return kFullHeaderFill;
    case UnpatchedRow:
        return kUnpatchedHeaderFill;
    default:
        return kOutputHeaderFill;
    }
}

TPatchCellLook fixedCellLook(const TPatchCellInput &in, int col, int row) {
    const PatchCellKind kind = fixedCellKind(in.layout, col, row);
    TPatchCellLook look;
    look.text = fixedCellText(kind, in.layout, col, row);
    look.fill = QColor(fixedCellFill(kind));
    look.textColor = in.buttonText;
    look.edge = kind != PatchCellKind::NthNumber;
    return look;
}

// The output a data cell stands for in the current view, -1 none.
int outputOfCell(const TPatchCellInput &in, int col, int row) {
    if (in.layout.mode == 0)
        return in.layout.OutputAtCell(col, row);
    const PatchEntry v = in.patches.RowValue(row);
    return in.byInput ? in.byInput->Nth(v, col) : in.patches.NthOutputOf(v, col);
}

PatchCellKind dataCellKind(const TPatchCellInput &in, const TPatch &memory, int o, int row) {
    using enum PatchCellKind;
    if (o < 0)
        return NoOutput;
    const PatchEntry v = in.layout.mode == 0 ? memory[std::size_t(o)] : in.patches.RowValue(row);
    return v == pvFull ? Full : v < 0 ? Unpatched : Patched;
}

} // namespace

TPatchCellLook PatchCellLook(const TPatchCellInput &in, int col, int row, bool stateSelected) {
    if (col == 0 || row == 0)
        return fixedCellLook(in, col, row);
    TPatchCellLook look;
    const TPatch *memory = in.patches.Current();
    if (!memory) {
        look.drawn = false;
        return look;
    }
    const bool o2i = in.layout.mode == 0;
    const int o = outputOfCell(in, col, row);
    const PatchCellKind kind = dataCellKind(in, *memory, o, row);
    if (kind == PatchCellKind::NoOutput) {
        look.fill = stateSelected ? in.highlight : in.workspace;
        look.textColor = stateSelected ? in.highlightText : in.windowText;
        return look;
    }
    if (!o2i)
        look.text = ChannelText(o, in.layout.ab);
    else if (kind == PatchCellKind::Full)
        look.text = QStringLiteral("FULL");
    else
        look.text = ChannelText((*memory)[std::size_t(o)], in.layout.ab);
    const bool checked = o == in.checkOutput;
    if (stateSelected || (o2i && o < OutputCount && in.selected[std::size_t(o)])) {
        look.fill = checked ? QColor(kCheckedFill) : in.highlight;
        look.textColor = in.highlightText;
        return look;
    }
    look.textColor = in.windowText;
    look.fill = checked                            ? QColor(kCheckedFill)
                : kind == PatchCellKind::Full      ? QColor(kFullFill)
                : kind == PatchCellKind::Unpatched ? QColor(kUnpatchedFill)
                                                   : in.windowColor;
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
