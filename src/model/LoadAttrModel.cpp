#include "LoadAttrModel.h"

namespace kestrava {

bool IsValidLoadAttr(LoadAttr code) {
    return (code >= 0 && code < UserCurveCount) || code == laNormal || code == laOnOff;
}

QString LoadAttrText(LoadAttr code) {
    if (code == laNormal)
        return QStringLiteral("Normal");
    if (code == laOnOff)
        return QStringLiteral("On/Off");
    return QStringLiteral("User ") + QString::number(qint64(code) + 1);
}

QStringList LoadAttrSelectorItems() {
    QStringList items{LoadAttrText(laNormal), LoadAttrText(laOnOff)};
    for (int c = 0; c < UserCurveCount; ++c)
        items.append(LoadAttrText(c));
    return items;
}

int LoadAttrToIndex(LoadAttr code) {
    if (code == laNormal)
        return 0;
    if (code == laOnOff)
        return 1;
    if (code >= 0 && code < UserCurveCount)
        return code + 2;
    return -1;
}

std::optional<LoadAttr> IndexToLoadAttr(int index) {
    if (index == 0)
        return laNormal;
    if (index == 1)
        return laOnOff;
    if (index >= 2 && index < 2 + UserCurveCount)
        return index - 2;
    return std::nullopt;
}

} // namespace kestrava
