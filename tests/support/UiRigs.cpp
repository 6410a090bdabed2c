#include "UiRigs.h"

#include "AttrPage.h"
#include "CurvePage.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrava::test {

SettingsFile::SettingsFile() = default;

void SettingsFile::mapPort(const QString &device, int port, const QString &language) {
    QFile::remove(path());
    QSettings s(path(), QSettings::IniFormat);
    s.setValue(QStringLiteral("Ports/COM%1").arg(port), device);
    s.setValue(QStringLiteral("Serial/ComPort"), port);
    s.setValue(QStringLiteral("Language"), language);
}

FormRig::FormRig(sim::UnitSimOptions options, const QString &language) : unit(options) {
    unit.start();
    // A unit behind a fixed path can go away and come back on the same path.
    settings.mapPort(options.linkPath.isEmpty() ? unit.devicePath() : options.linkPath, 9,
                     language);
    texts = std::make_unique<TUiTexts>(settings.path());
    desktop.helpLanguage = texts->HelpLanguage();
    form = std::make_unique<TKestravaForm>(settings.path(), desktop);
}

FormRig::~FormRig() {
    if (form && form->isVisible())
        closeQuietly();
}

bool ShowActive(QWidget &window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

bool FormRig::showOnly() {
    return ShowActive(*form);
}

bool FormRig::showLinked() {
    if (!showOnly())
        return false;
    const bool polled = QTest::qWaitFor(
        [this] { return unit.requestLog().contains(QStringLiteral("Q802")); }, 5000);
    unit.clearLog();
    return polled && link().Linked;
}

void FormRig::closeQuietly() {
    patches().PatchChanged = false;
    attrs().LdAtrChanged = false;
    curves().CurveChanged = false;
    form->close();
}

PageRig::PageRig(sim::UnitSimOptions options)
    : unit(std::move(options)), status(new TStatusBar({150, 150, 200, 50}, &window)),
      actions([this] { return state(); }, nullptr) {
    unit.start();
    new QVBoxLayout(&window);
    ticker = new QTimer(&window);
    ticker->setInterval(100);
    QObject::connect(ticker, &QTimer::timeout, &window, [this] {
        if (page)
            page->Tick();
    });
    ticker->start();
    // The shortcuts work as they do from the main window's menus.
    for (int i = 0; i < ActionCount; ++i)
        window.addAction(actions.Action(ActionId(i)));
}

PageRig::~PageRig() {
    link.ClosePort();
}

bool PageRig::linkUp() {
    if (!link.OpenDevice(unit.devicePath()) || !link.LinkUp())
        return false;
    patches.CurPatch = link.QueryCurrentPatch();
    return true;
}

UiState PageRig::state() const {
    UiState s = WindowState(shown, link, patches, settings);
    if (page)
        page->FillState(s);
    return s;
}

void PageRig::place(TPage *shownPage, QWidget *widget, Page kind) {
    page = shownPage;
    shown = kind;
    window.layout()->addWidget(widget);
    window.layout()->addWidget(status);
    window.resize(792, 551);
}

PatchPageRig::PatchPageRig(sim::UnitSimOptions options) : PageRig(std::move(options)) {
    patchPage = new TPatchPage(patches, attrs, context(), &window);
    place(patchPage, patchPage, Page::Patch);
    if (linkUp()) {
        patchPage->SelectPatNo(patches.CurPatch);
        actions.Execute(ActionId::GetTableAction);
    }
    patchPage->SettingsChanged();
    unit.clearLog();
}

CurvePageRig::CurvePageRig(sim::UnitSimOptions options) : PageRig(std::move(options)) {
    curvePage = new TCurvePage(curves, context(), &window);
    place(curvePage, curvePage, Page::Curve);
    if (linkUp())
        actions.Execute(ActionId::GetCurveAction);
    curvePage->Activated();
    unit.clearLog();
}

AttrPageRig::AttrPageRig(sim::UnitSimOptions options) : PageRig(std::move(options)) {
    attrPage = new TAttrPage(attrs, context(), &window);
    place(attrPage, attrPage, Page::Attr);
    if (linkUp())
        actions.Execute(ActionId::GetLdAtrAcion);
    attrPage->SettingsChanged();
    actions.UpdateActions();
    unit.clearLog();
}

} // namespace kestrava::test
