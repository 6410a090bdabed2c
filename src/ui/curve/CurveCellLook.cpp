#include "CurveCellLook.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>

namespace kestrava {

namespace {

const QColor kPointFrame(0, 128, 0);
const QColor kPickedFrame(255, 0, 0);
const QColor kOffCurveText(255, 0, 0);

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(TCurvePage)
};

// A number right-aligned in a field of `width` characters, as "%3u" prints it.
QString field(int v, int width) {
    return QString::number(v).rightJustified(width, u' ');
}

} // namespace

int CurveGridColCount(int width) {
    return width + 1;
}

int CurveGridRowCount(int width) {
    return CurveTableSize / width + 1;
}

int CurveCellInput(int width, int col, int row) {
    return col + width * (row - 1) - 1;
}

QPoint CurveCellOfInput(int width, int input) {
    const int x = std::clamp(input, 0, CurveMaxInput);
    return QPoint(x % width + 1, x / width + 1);
}

TCurveCellLook CurveCellLook(const TCurveCellInput &in, int col, int row, bool selected) {
    TCurveCellLook look;
    look.align = Qt::AlignRight;
    if (col == 0 || row == 0) {
        look.fill = in.buttonFace;
        look.textColor = in.buttonText;
        look.edge = true;
        if (row > 0)
            look.text = field((row - 1) * in.width, 3);
        else if (col > 0)
            look.text = field(col - 1, 3);
        return look;
    }
    const TUserCurve &curve = in.curve;
    const int x = CurveCellInput(in.width, col, row);
    look.fill = selected ? in.highlight : in.window;
    look.textColor = selected ? in.highlightText : in.windowText;
    if (x < 0 || x > CurveMaxInput)
        return look;
    const int level = curve.Table[std::size_t(x)];
    look.text = field(level, 3);
    if (curve.Mode != cmIndividual) {
        if (const TCurvePoint *p = curve.Points.FindByInput(x)) {
            look.frame = p->Dragging || p->Selected ? kPickedFrame : kPointFrame;
            if (std::llabs(std::int64_t(level) - curve.MaxLevel + p->Y) > 1)
                look.textColor = kOffCurveText;
        }
    }
    return look;
}

QString CurveStatusText(int input, int level, int maxLevel) {
    const double percent = std::max(0.0, level * 100.0 / std::max(maxLevel, 1));
    return Texts::tr("入力=") + field(input, 3) + Texts::tr(" : 出力=") + field(level, 4) +
           QString::asprintf(" (%4.1f%%)", percent);
}

QString CurveClickText(int input, int level) {
    return Texts::tr("入力=") + field(input, 3) + Texts::tr(" : 出力=") + field(level, 3);
}

} // namespace kestrava
