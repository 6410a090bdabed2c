#include "AttrCellLook.h"

#include "ChannelNotation.h"

#include <QCoreApplication>

#include <array>

namespace kestrava {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(AttrTable)
};

using Labels = std::array<QString, LoadAttrCount>;

Labels makeLabels(bool ab) {
    Labels labels;
    for (int o = 0; o < LoadAttrCount; ++o)
        labels[std::size_t(o)] = ChannelText(o, ab);
    return labels;
}

// The code's text; the six known ones are shared, not built for every cell.
QString codeText(LoadAttr code) {
    static const std::array<QString, 2 + UserCurveCount> known = [] {
        std::array<QString, 2 + UserCurveCount> texts;
        for (int i = 0; i < int(texts.size()); ++i)
            texts[std::size_t(i)] = LoadAttrText(*IndexToLoadAttr(i));
        return texts;
    }();
    const int index = LoadAttrToIndex(code);
    return index >= 0 ? known[std::size_t(index)] : LoadAttrText(code);
}

const QColor kOnOffFill(221, 204, 204);
const QColor kCurveFill(204, 221, 221);
const QColor kOutputHeader(255, 204, 204);
const QColor kCurveHeader(204, 255, 204);
const QColor kLineA(255, 221, 221);
const QColor kLineB(255, 238, 204);

} // namespace

const QString &AttrRowLabel(int output, bool ab) {
    static const Labels plain = makeLabels(false);
    static const Labels lines = makeLabels(true);
    return (ab ? lines : plain)[std::size_t(output)];
}

TCellLook AttrCellLook(const TAttrCellInput &in, int col, int row, bool selected) {
    TCellLook look;
    const bool fixed = col == 0 || row == 0;
    if (!fixed) {
        const LoadAttr code = in.attrs[std::size_t(row - 1)];
        look.align = Qt::AlignLeft;
        if (col == 1)
            look.text = codeText(code);
        if (selected) {
            look.fill = in.highlight;
            look.textColor = in.highlightText;
        } else {
            look.fill = code == laNormal ? in.window : code == laOnOff ? kOnOffFill : kCurveFill;
            look.textColor = in.windowText;
        }
        return look;
    }
    look.textColor = in.buttonText;
    look.align = col == 0 ? Qt::AlignRight : Qt::AlignLeft;
    if (row == 0) {
        look.text = col == 0 ? Texts::tr("出力") : Texts::tr("カーブ");
        look.fill = col == 0 ? kOutputHeader : kCurveHeader;
    } else {
        look.text = AttrRowLabel(row - 1, in.ab);
        look.fill = look.text.startsWith(u'B', Qt::CaseInsensitive) ? kLineB : kLineA;
    }
    look.edge = col == 0 || in.patTableMode == 0;
    return look;
}

} // namespace kestrava
