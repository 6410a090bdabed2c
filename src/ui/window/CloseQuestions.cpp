#include "CloseQuestions.h"

#include "Curve.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"

#include <QCoreApplication>

namespace kestrava {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(KestravaForm)
};
} // namespace

std::array<TCloseQuestion, 3> CloseQuestions(const TPatchModel &patches,
                                             const TLoadAttrModel &attrs, const TCurveSet &curves) {
    using enum ActionId;
    const int patch = patches.CurPatch + 1;
    return {{
        {&patches.PatchChanged, Texts::tr("パッチ%1の変更内容をファイルに保存しますか?").arg(patch),
         Texts::tr("パッチ%1の変更内容を書き込みますか?").arg(patch), SaveAllPatAction,
         WritePatAction},
        {&attrs.LdAtrChanged, Texts::tr("負荷属性の変更内容をファイルに保存しますか?"),
         Texts::tr("負荷属性の変更内容を書き込みますか?"), SaveLdAtrAction, WriteLdAtrAction},
        {&curves.CurveChanged, Texts::tr("カーブの変更内容をファイルに保存しますか?"),
         Texts::tr("カーブの変更内容を書き込みますか?"), SaveCurveAction, WriteCurveAction},
    }};
}

} // namespace kestrava
