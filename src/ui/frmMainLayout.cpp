// The main window's controls: names, indexes, start texts, length limits, positions (in twips) and the
// focus order. Texts that the language switch replaces start in German, the first language.

#include "frmMain.h"

#include "InputFields.h"
#include "modLangConstants.h"

#ifdef KORVANE_HAVE_DRAWINGS
#include "Drawings.h"
#endif

#include <QCheckBox>
#include <QLayout>
#include <QMenuBar>

namespace korvane::ui {

namespace {

const QColor kResultGreen(0, 192, 0);
constexpr int kFontPointSize = 8;
constexpr int kResultPointSize = 18;
constexpr int kDegreePointSize = 12;
constexpr int kSiteLabelLeft = 2010; // twips, just right of the site list

QString StartText(int baseId) {
    const auto entry = FindLangEntry(baseId);
    return entry ? QString::fromUtf8(entry->data(), static_cast<qsizetype>(entry->size())) : QString();
}

void SetPointSize(QWidget& widget, int points) {
    QFont font = widget.font();
    font.setPointSize(points);
    widget.setFont(font);
}

enum class Picture { SideWindows, FlatRoof, Sawtooth };

QWidget* CreatePicture(Picture which, const char* name, QWidget* parent) {
#ifdef KORVANE_HAVE_DRAWINGS
    const Sketch sketch = which == Picture::SideWindows ? Sketch::SideWindows
                          : which == Picture::FlatRoof  ? Sketch::FlatRoof
                                                        : Sketch::Sawtooth;
    QWidget* picture = new SketchWidget(sketch, parent);
#else
    Q_UNUSED(which);
    auto* picture = new QFrame(parent);
    picture->setFrameShape(QFrame::Box);
#endif
    picture->setObjectName(QString::fromLatin1(name));
    return picture;
}

} // namespace

void frmMain::CreateControls() {
    setWindowTitle(AppTitle());
#ifdef KORVANE_HAVE_DRAWINGS
    setWindowIcon(AppIcon());
#endif
    setObjectName(QStringLiteral("frmMain"));
    // A narrow face lets the longer translations fit the fixed positions.
    QFont face;
    face.setFamilies({QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial Narrow")});
    face.setPointSize(kFontPointSize);
    setFont(face);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(602, 431);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    CreateInputFrames(client);
    CreateResult(client);
    CreateGlazingAndWindowTypes(client);
    CreateWindowPanels();
    CreateButtonsAndMenus(client);
    SetFocusOrder();
}

// --- placing one control, in twips, into its array ---------------------------------------------------------

VbTextBox* frmMain::PutField(int16_t index, QWidget* parent, int left, int top, int width) {
    // Start text and typed length come from the field table.
    const inputs::FieldRule& rule = inputs::RuleOf(static_cast<inputs::FieldId>(index));
    VbTextBox& box = txtInput.Load(index, parent);
    box.SetTypedLength(rule.maxLength);
    box.SetText(QString::fromUtf8(rule.startText));
    PlaceTwips(box, left, top, width, 285);
    return &box;
}

VbLabel* frmMain::PutLabel(ControlArray<VbLabel>& array, int16_t index, QWidget* parent, const QString& text,
                           int left, int top, int width, int height, Qt::Alignment alignment) {
    VbLabel& l = array.Load(index, parent);
    l.SetCaption(text);
    l.setAlignment(alignment);
    PlaceTwips(l, left, top, width, height);
    return &l;
}

VbLabel* frmMain::PutNameLabel(int16_t index, QWidget* parent, int baseId, int left, int top, int width,
                               int height, Qt::Alignment alignment) {
    return PutLabel(lblInput, index, parent, StartText(baseId), left, top, width, height, alignment);
}

VbLabel* frmMain::PutUnit(int16_t index, QWidget* parent, const char* text, int left, int top) {
    return PutLabel(lblUnit, index, parent, QString::fromUtf8(text), left, top, 255, 255);
}

VbFrame* frmMain::PutFrame(QWidget* client, int16_t index, const QString& caption, int left, int top,
                           int width, int height) {
    VbFrame& f = fraRange.Load(index, client);
    f.SetCaption(caption);
    PlaceTwips(f, left, top, width, height);
    return &f;
}

VbComboBox* frmMain::PutList(int16_t index, QWidget* parent, int left, int top, int width) {
    VbComboBox& l = lstInput.Load(index, parent);
    PlaceTwips(l, left, top, width, 315);
    return &l;
}

VbOptionButton* frmMain::PutOption(ControlArray<VbOptionButton>& array, int16_t index, QWidget* parent,
                                   const char* caption, const char* tag, int left, int top, int width,
                                   int height) {
    VbOptionButton& o = array.Load(index, parent, QString::fromUtf8(caption), QString::fromUtf8(tag));
    PlaceTwips(o, left, top, width, height);
    return &o;
}

// --- the sections of the form
// --------------------------------------------------------------------------------

void frmMain::CreateInputFrames(QWidget* client) {
    const auto right = Qt::AlignRight | Qt::AlignTop;
    // Working hours.
    QWidget* hours = PutFrame(client, 0, StartText(135), 60, 60, 4575, 735);
    PutField(0, hours, 1440, 300, 375);
    PutNameLabel(0, hours, 112, 120, 360, 1215, 255);
    PutUnit(0, hours, "h", 1860, 360);
    PutField(1, hours, 3840, 300, 375);
    PutNameLabel(1, hours, 113, 2460, 360, 1155, 255);
    PutUnit(1, hours, "h", 4260, 360);

    // Calculation period; the daylight-saving box is never shown.
    QWidget* period = PutFrame(client, 1, StartText(140), 60, 900, 4575, 735);
    PutList(1, period, 120, 240, 1815);
    chkDLSTime = new QCheckBox(StartText(130), period);
    chkDLSTime->setObjectName(QStringLiteral("chkDLSTime"));
    PlaceTwips(*chkDLSTime, 2400, 300, 1935, 255);
    chkDLSTime->setVisible(false);

    // Room.
    QWidget* room = PutFrame(client, 2, StartText(141), 60, 1740, 4575, 1155);
    PutField(2, room, 1320, 240, 555);
    PutNameLabel(2, room, 114, 120, 240, 1185, 435);
    PutUnit(2, room, "m", 1920, 300);
    PutField(3, room, 3660, 240, 555);
    PutNameLabel(3, room, 115, 2220, 240, 1395, 435);
    PutUnit(3, room, "m", 4260, 300);
    PutField(4, room, 3480, 720, 735);
    PutNameLabel(4, room, 116, 120, 780, 2475, 255);
    PutUnit(4, room, "lx", 4260, 780);

    // Geographic data.
    QWidget* site = PutFrame(client, 3, StartText(136), 60, 3000, 4575, 1575);
    PutList(0, site, 120, 360, 1815);
    // The three site labels end at their fields; they reach left as far as the site list, so that a longer
    // translation still shows whole.
    PutField(5, site, 3660, 300, 555);
    PutNameLabel(5, site, 117, kSiteLabelLeft, 360, 3615 - kSiteLabelLeft, 195, right);
    SetPointSize(*PutUnit(5, site, "°", 4260, 300), kDegreePointSize);
    PutField(6, site, 3660, 720, 555);
    PutNameLabel(6, site, 118, kSiteLabelLeft, 720, 3615 - kSiteLabelLeft, 195, right);
    SetPointSize(*PutUnit(6, site, "°", 4260, 720), kDegreePointSize);
    PutField(7, site, 3660, 1140, 555);
    PutNameLabel(7, site, 119, kSiteLabelLeft, 1140, 3615 - kSiteLabelLeft, 195, right);
    PutUnit(7, site, "h", 4260, 1200);
}

void frmMain::CreateResult(QWidget* client) {
    // Result; its caption is the same in every language.
    QWidget* result = PutFrame(client, 4, QStringLiteral("Ergebnis"), 60, 4680, 4575, 1755);
    picResult = new VbPictureBox(result);
    picResult->setObjectName(QStringLiteral("picResult"));
    PlaceTwips(*picResult, 3240, 480, 1155, 615);
    picResult->SetBackColor(kResultGreen);
    lblResult = new VbLabel(picResult);
    lblResult->setObjectName(QStringLiteral("lblResult"));
    PlaceTwips(*lblResult, 45, 60, 1005, 435);
    lblResult->SetCaption(QStringLiteral("100%"));
    lblResult->setAlignment(Qt::AlignCenter);
    lblResult->setWordWrap(false);
    SetPointSize(*lblResult, kResultPointSize);
    PutLabel(lblInformation, 1, result, StartText(142), 120, 300, 3075, 1335);
}

void frmMain::CreateGlazingAndWindowTypes(QWidget* client) {
    // Glazing.
    QWidget* glazing = PutFrame(client, 5, StartText(138), 4740, 60, 4215, 975);
    PutList(2, glazing, 1560, 180, 2175);
    PutField(9, glazing, 3180, 600, 555);
    PutNameLabel(8, glazing, 120, 120, 240, 1695, 255);
    PutNameLabel(9, glazing, 121, 120, 600, 1695, 255);
    PutUnit(8, glazing, "%", 3840, 660);

    // Window type: the tab strip with its three panels lying over it.
    tabWindowTyp = new VbTabStrip(3, client);
    tabWindowTyp->setObjectName(QStringLiteral("tabWindowTyp"));
    PlaceTwips(*tabWindowTyp, 4740, 1260, 4215, 4155);
    tabWindowTyp->SetTabCaption(1, StartText(131));
    tabWindowTyp->SetTabCaption(2, StartText(132));
    tabWindowTyp->SetTabCaption(3, StartText(134));
    for (int16_t i = 1; i <= 3; ++i) {
        VbPictureBox& panel = picWindowType.Load(i, client);
        PlaceTwips(panel, 4800, 1320, i == 2 ? 4035 : 4095, 3735);
        panel.raise();
        panel.setVisible(i == 1);
    }
}

void frmMain::CreateWindowPanels() {
    const auto right = Qt::AlignRight | Qt::AlignTop;
    // Panel 1, normal windows.
    QWidget* normal = &picWindowType(1);
    PutLabel(lblInformation, 0, normal, StartText(143), 60, 60, 3615, 435);
    PutOption(optWindowArray, 0, normal, "60%", "60", 180, 1440, 855, 315)->setChecked(true);
    PutOption(optWindowArray, 1, normal, "30%", "30", 180, 780, 975, 315);
    PutOption(optWindowArray, 2, normal, "90%", "90", 180, 2100, 915, 315);
    Image1 = CreatePicture(Picture::SideWindows, "Image1", normal);
    PlaceTwips(*Image1, 1440, 480, 2580, 2280);
    PutField(11, normal, 3060, 2820, 555);
    PutNameLabel(11, normal, 122, 1260, 2880, 1755, 255, right);
    PutUnit(9, normal, "m", 3660, 2880);

    // Panel 2, flat roof.
    QWidget* flat = &picWindowType(2);
    PutField(10, flat, 120, 540, 555);
    PutNameLabel(10, flat, 123, 60, 60, 1155, 435);
    PutUnit(10, flat, "m", 720, 600);
    PutField(12, flat, 120, 1500, 555);
    PutNameLabel(12, flat, 124, 60, 1020, 1155, 435);
    PutUnit(11, flat, "m²", 720, 1560);
    PutField(13, flat, 120, 2460, 555);
    PutNameLabel(13, flat, 125, 60, 1920, 1155, 495);
    PutUnit(12, flat, "m", 720, 2520);
    Image2 = CreatePicture(Picture::FlatRoof, "Image2", flat);
    PlaceTwips(*Image2, 1260, 180, 2775, 2565);

    // Panel 3, sawtooth roof.
    QWidget* sawtooth = &picWindowType(3);
    Image4 = CreatePicture(Picture::Sawtooth, "Image4", sawtooth);
    PlaceTwips(*Image4, 60, 60, 3975, 2025);
    PutField(14, sawtooth, 1500, 2220, 555);
    PutNameLabel(14, sawtooth, 127, 60, 2220, 1395, 435, right);
    PutUnit(13, sawtooth, "m", 2160, 2280);
    PutField(15, sawtooth, 1500, 2700, 555);
    PutNameLabel(15, sawtooth, 123, 60, 2700, 1395, 435, right);
    PutUnit(14, sawtooth, "m", 2160, 2760);
    PutField(16, sawtooth, 1500, 3180, 555);
    PutNameLabel(16, sawtooth, 125, 60, 3120, 1395, 435, right);
    PutUnit(15, sawtooth, "m", 2160, 3240);
    PutNameLabel(17, sawtooth, 128, 2580, 2160, 1215, 435, Qt::AlignHCenter | Qt::AlignTop);
    PutOption(optWindowSlope, 0, sawtooth, "90°", "90", 2760, 2760, 855, 255)->setChecked(true);
    PutOption(optWindowSlope, 1, sawtooth, "75°", "75", 2760, 3000, 855, 255)->setVisible(false);
    PutOption(optWindowSlope, 2, sawtooth, "60°", "60", 2760, 3240, 855, 255);
}

void frmMain::CreateButtonsAndMenus(QWidget* client) {
    // Buttons.
    cmdCalculate = new VbCommandButton(client);
    cmdCalculate->setObjectName(QStringLiteral("cmdCalculate"));
    cmdCalculate->setText(StartText(159));
    PlaceTwips(*cmdCalculate, 5100, 5760, 1575, 375);
    cmdPrint = new VbCommandButton(client);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdPrint->setText(StartText(160));
    PlaceTwips(*cmdPrint, 7080, 5760, 1575, 375);

    // Menus; the shortcuts are the same in every language.
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    mnuFile = bar->addMenu(StartText(100));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileCmd.Load(0, mnuFile, QKeySequence(Qt::CTRL | Qt::Key_O), false).SetCaption(StartText(101));
    mnuFileCmd.Load(1, mnuFile, QKeySequence(), false).SetCaption(StartText(102));
    mnuLang = bar->addMenu(StartText(103));
    mnuLang->setObjectName(QStringLiteral("mnuLang"));
    const std::array<Qt::Key, 6> languageKeys{Qt::Key_D, Qt::Key_E, Qt::Key_F,
                                              Qt::Key_I, Qt::Key_N, Qt::Key_S};
    for (int16_t i = 1; i <= 6; ++i)
        mnuLangCmd.Load(i, mnuLang, QKeySequence(Qt::CTRL | languageKeys[static_cast<size_t>(i - 1)]), true)
            .SetCaption(StartText(103 + i));
    mnuHelp = bar->addMenu(StartText(110));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpCmd.Load(0, mnuHelp, QKeySequence(), false).SetCaption(StartText(111));
}

void frmMain::SetFocusOrder() {
    // Focus order.
    const std::array<QWidget*, 27> order{
        &txtInput(0),       &txtInput(1),  &lstInput(1),  &txtInput(2),       &txtInput(3),
        &txtInput(4),       &lstInput(0),  &txtInput(5),  &txtInput(6),       &txtInput(7),
        &lstInput(2),       &txtInput(9),  tabWindowTyp,  &optWindowArray(1), &optWindowArray(0),
        &optWindowArray(2), &txtInput(11), &txtInput(10), &txtInput(12),      &txtInput(13),
        &txtInput(14),      &txtInput(15), &txtInput(16), &optWindowSlope(0), &optWindowSlope(2),
        cmdCalculate,       cmdPrint};
    for (size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

} // namespace korvane::ui
