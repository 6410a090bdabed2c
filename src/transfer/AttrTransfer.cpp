#include "AttrTransfer.h"

#include "Abort.h"
#include "BlockTransfer.h"
#include "Usr_misc.h"
#include "WireCodes.h"

#include <QCoreApplication>

namespace kestrava {

namespace {

constexpr int kAttrBlocks = 64;
constexpr int kAttrBase = 0x500;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(AttrTransfer)
};

} // namespace

QString LoadAttrBlockCommand(const TLoadAttrs &attrs, int block) {
    QString cmd = QStringLiteral("S") + Hex3(kAttrBase + block);
    for (int k = 0; k < kBlockValues; ++k)
        cmd += LoadAttrCode(attrs[std::size_t(kBlockValues * block + k)]);
    return cmd + u'\r';
}

bool FetchLoadAttrs(TransferEnv &env, TLoadAttrModel &attrs) {
    if (env.link.EditMode || !env.link.Linked)
        return false;
    if (!attrs.LdAtrInSync) {
        TransferringScope transferring(env);
        BracketScope bracket(env, Texts::tr("負荷属性取得中"));
        try {
            QueryBlocks(env, kAttrBase, kAttrBlocks, {0, kAttrBlocks},
                        [&attrs](int b, QStringView reply) {
                            const auto codes = DecodeBlock(reply, laNormal);
                            for (int k = 0; k < kBlockValues; ++k)
                                attrs.LoadAttrs[std::size_t(kBlockValues * b + k)] = codes[k];
                        });
            attrs.MarkFetched();
        } catch (const EAbort &) {
            env.boxes.Error(Texts::tr("取得に失敗しました"));
        }
    }
    // Cleared by every fetch that may run, also one that failed or had nothing to read.
    attrs.MarkStored();
    return attrs.LdAtrInSync;
}

bool WriteLoadAttrs(TransferEnv &env, TLoadAttrModel &attrs) {
    TransferringScope transferring(env);
    BracketScope bracket(env, Texts::tr("負荷属性書込中"));
    try {
        SendBlocks(env, kAttrBlocks, {0, kAttrBlocks},
                   [&attrs](int b) { return LoadAttrBlockCommand(attrs.LoadAttrs, b); });
        SendOrAbort(env, QStringLiteral("WA\r"));
        attrs.MarkWritten();
        return true;
    } catch (const EAbort &) {
        env.boxes.Error(Texts::tr("書込に失敗しました"));
        return false;
    }
}

} // namespace kestrava
