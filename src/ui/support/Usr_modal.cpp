#include "Usr_modal.h"

namespace kestrava {

namespace {

ModalHook &hook() {
    static ModalHook h;
    return h;
}

} // namespace

int RunModal(QDialog &dialog) {
    return hook() ? hook()(dialog) : dialog.exec();
}

ModalHook SetModalHook(ModalHook h) {
    ModalHook previous = std::move(hook());
    hook() = std::move(h);
    return previous;
}

} // namespace kestrava
