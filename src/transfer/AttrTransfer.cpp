#include "AttrTransfer.h"

#include "BlockTransfer.h"
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

namespace {

TBlockPart attrPart(TLoadAttrModel &attrs) {
    TBlockPart part;
    part.runs.push_back({kAttrBase,
                         kAttrBlocks,
                         {0, kAttrBlocks},
                         {0, kAttrBlocks},
                         [&attrs](int b, QStringView reply) {
                             const auto codes = DecodeBlock(reply, laNormal);
                             for (int k = 0; k < kBlockValues; ++k)
                                 attrs.LoadAttrs[std::size_t(kBlockValues * b + k)] = codes[k];
                         },
                         [&attrs](int b) { return LoadAttrBlockCommand(attrs.LoadAttrs, b); }});
    part.commit = QStringLiteral("WA\r");
    part.fetched = [&attrs] { attrs.MarkFetched(); };
    part.written = [&attrs] { attrs.MarkWritten(); };
    part.fetchText = Texts::tr("負荷属性取得中");
    part.fetchFailed = Texts::tr("取得に失敗しました");
    part.writeText = Texts::tr("負荷属性書込中");
    part.writeFailed = Texts::tr("書込に失敗しました");
    return part;
}

} // namespace

bool FetchLoadAttrs(TransferEnv &env, TLoadAttrModel &attrs) {
    if (env.link.EditMode || !env.link.Linked)
        return false;
    if (!attrs.LdAtrInSync)
        FetchBlockPart(env, attrPart(attrs));
    // Cleared by every fetch that may run, also one that failed or had nothing to read.
    attrs.MarkStored();
    return attrs.LdAtrInSync;
}

bool WriteLoadAttrs(TransferEnv &env, TLoadAttrModel &attrs) {
    return WriteBlockPart(env, attrPart(attrs));
}

} // namespace kestrava
