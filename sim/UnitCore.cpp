#include "UnitCore.h"

namespace kestrava::sim {

namespace {

constexpr int kNone = 0xFFF;
constexpr int kBlockDigits = 48;

UnitCore::Answer ack() {
    return {UnitCore::Answer::Ack, {}};
}
UnitCore::Answer refused() {
    return {};
}
UnitCore::Answer value(QByteArray digits) {
    return {UnitCore::Answer::Value, std::move(digits)};
}

} // namespace

UnitMemory UnitMemory::factoryDefault() {
    UnitMemory m;
    for (auto &patch : m.patches)
        patch.fill(kNone);
    for (int o = 0; o < 1024; ++o)
        m.patches[0][o] = o;
    m.attributes.fill(0x080);
    for (auto &table : m.curveTables)
        for (int i = 0; i < 256; ++i)
            table[i] = i;
    for (auto &points : m.pointBlocks) {
        points.fill(0);
        points[0] = 1;
    }
    return m;
}

bool parseHex(QByteArrayView digits, int &value) {
    if (digits.isEmpty())
        return false;
    int v = 0;
    for (char c : digits) {
        if (c >= '0' && c <= '9')
            v = v * 16 + (c - '0');
        else if (c >= 'A' && c <= 'F')
            v = v * 16 + (c - 'A' + 10);
        else
            return false;
    }
    value = v;
    return true;
}

QByteArray formatCodes(const int *codes, int count) {
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out(count * 3, '0');
    for (int k = 0; k < count; ++k) {
        const int v = codes[k] & 0xFFF;
        out[3 * k] = hex[v >> 8];
        out[3 * k + 1] = hex[(v >> 4) & 0xF];
        out[3 * k + 2] = hex[v & 0xF];
    }
    return out;
}

void UnitCore::powerOn(int patch) {
    working = stored;
    currentPatch = patch;
    remoteMode = 0;
    checkOutput = -1;
    checkLevel = 0xFF;
}

UnitCore::Answer UnitCore::handle(const QByteArray &request) {
    if (request == "R000") {
        remoteMode = 0;
        // Leaving remote mode must not leave an output driven by a check nobody can end.
        checkOutput = -1;
        return ack();
    }
    if (request == "R001" || request == "R002") {
        remoteMode = request.back() - '0';
        return ack();
    }
    if (remoteMode == 0 || request.isEmpty())
        return refused();

    const QByteArrayView args = QByteArrayView(request).sliced(1);
    int address = 0;
    switch (request.front()) {
    case 'Q':
        if (args.size() == 3 && parseHex(args, address))
            return query(address);
        return refused();
    case 'S': {
        int code = 0;
        if (args.size() == 6 && parseHex(args.first(3), address) && parseHex(args.sliced(3), code))
            return writeOne(address, code);
        if (args.size() == 3 + kBlockDigits && parseHex(args.first(3), address))
            return writeBlock(address, args.sliced(3).toByteArray());
        return refused();
    }
    case 'P':
        if (args.size() == 3 && parseHex(args, address) && address <= 7) {
            currentPatch = address;
            return ack();
        }
        return refused();
    case 'O':
        if (args.size() == 3 && parseHex(args, address))
            return outputCheck(address);
        return refused();
    default:
        break;
    }
    if (request == "WP") {
        stored.patches[currentPatch] = working.patches[currentPatch];
        ++storesWP;
        return ack();
    }
    if (request == "WA") {
        stored.attributes = working.attributes;
        ++storesWA;
        return ack();
    }
    if (request == "WC") {
        stored.curveTables = working.curveTables;
        stored.pointBlocks = working.pointBlocks;
        ++storesWC;
        return ack();
    }
    if (request == "C") {
        working.patches[currentPatch].fill(kNone);
        return ack();
    }
    if (request == "T") {
        for (int o = 0; o < 1024; ++o)
            working.patches[currentPatch][o] = o;
        return ack();
    }
    return refused();
}

UnitCore::Answer UnitCore::query(int address) const {
    if (address <= 0x03F)
        return value(formatCodes(&working.patches[currentPatch][16 * address], 16));
    if (address >= 0x500 && address <= 0x53F)
        return value(formatCodes(&working.attributes[16 * (address - 0x500)], 16));
    if (address >= 0x600 && address <= 0x63F) {
        const int b = address - 0x600;
        return value(formatCodes(&working.curveTables[b / 16][16 * (b % 16)], 16));
    }
    if (address >= 0x640 && address <= 0x643)
        return value(formatCodes(working.pointBlocks[address - 0x640].data(), 16));
    const int single = address == 0x800   ? firmware
                       : address == 0x801 ? currentPatch
                       : address == 0x802 ? status
                                          : -1;
    if (single < 0)
        return refused();
    return value(formatCodes(&single, 1));
}

UnitCore::Answer UnitCore::writeOne(int address, int code) {
    if (address > 0x3FF)
        return refused();
    working.patches[currentPatch][address] = code;
    return ack();
}

UnitCore::Answer UnitCore::writeBlock(int address, const QByteArray &digits) {
    int *target = nullptr;
    if (address >= 0x400 && address <= 0x43F)
        target = &working.patches[currentPatch][16 * (address - 0x400)];
    else if (address >= 0x500 && address <= 0x53F)
        target = &working.attributes[16 * (address - 0x500)];
    else if (address >= 0x600 && address <= 0x63F)
        target = &working.curveTables[(address - 0x600) / 16][16 * ((address - 0x600) % 16)];
    else if (address >= 0x640 && address <= 0x643)
        target = working.pointBlocks[address - 0x640].data();
    else
        return refused();

    // All sixteen codes are checked before any is stored: a garbled block changes nothing.
    std::array<int, 16> codes{};
    for (int k = 0; k < 16; ++k)
        if (!parseHex(QByteArrayView(digits).sliced(3 * k, 3), codes[k]))
            return refused();
    std::copy(codes.begin(), codes.end(), target);
    return ack();
}

UnitCore::Answer UnitCore::outputCheck(int code) {
    if (code <= 0x3FF)
        checkOutput = code;
    else if (code >= 0x800 && code <= 0x8FF)
        checkLevel = code - 0x800;
    else if (code == 0xFFF)
        checkOutput = -1;
    else
        return refused();
    return ack();
}

} // namespace kestrava::sim
