// The routing panel: channel button grids, routing actions, presets and the
// status refresh.
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "app/tform1.h"
#include "app/tmybtn.h"
#include "setup/settings.h"
#include "ui/look.h"
#include "ui/messages.h"

namespace {
// Button height by the larger of the two matrix counts.
int buttonHeight(int size)
{
    if (size <= 16)
        return 60;
    if (size <= 32)
        return 45;
    if (size <= 40)
        return 38;
    return 20;
}

constexpr int kButtonWidth = 70;
} // namespace

Tmybtn *TForm1::FindChannelButton(const QString &name) const
{
    // Names compare without letter case, as component names do.
    return m_channelButtons.value(name.toLower(), nullptr);
}

void TForm1::SetLime(Tmybtn *button, bool lime) { mc::ui::SetChannelButtonLime(button, lime); }

bool TForm1::IsLime(const Tmybtn *button) const { return mc::ui::IsChannelButtonLime(button); }

void TForm1::BuildInputButtons() { BuildButtons(true); }

void TForm1::BuildOutputButtons() { BuildButtons(false); }

// Builds or refreshes one grid and its list from the name table, one button
// per row in table order. Existing buttons keep everything but their caption.
void TForm1::BuildButtons(bool inputs)
{
    QComboBox *list = inputs ? bsSkinComboBox1 : bsSkinComboBox2;
    mc::TableView &names = inputs ? ADOQuery2() : ADOQuery3();
    const QString numberColumn = inputs ? QStringLiteral("inc") : QStringLiteral("outc");
    const QString prefix = inputs ? QStringLiteral("inbtn") : QStringLiteral("outbtn");
    const int firstColumn = inputs ? 20 : 360;

    ADOQuery1().First();
    const int incount = ADOQuery1().AsInteger(QStringLiteral("incount"));
    const int outcount = ADOQuery1().AsInteger(QStringLiteral("outcount"));
    if (inputs) {
        Label5->setText(QStringLiteral("矩阵大小:") + QString::number(incount) + QLatin1Char('*') +
                        QString::number(outcount));
        SelectedInput = nullptr;
        SelectedOutput = nullptr;
    }
    names.First();
    list->clear();
    const int height = buttonHeight(qMax(incount, outcount));
    QStringList items;
    for (int k = 0; !names.Eof(); ++k, names.Next()) {
        const int number = names.AsInteger(numberColumn);
        const QString caption = QString::number(number) + QLatin1Char(' ') + names.AsString(QStringLiteral("cap"));
        items.append(caption);
        const QString name = prefix + QString::number(number);
        Tmybtn *button = FindChannelButton(name);
        if (!button) {
            button = new Tmybtn(Panel1);
            button->setObjectName(name);
            m_channelButtons.insert(name.toLower(), button);
            button->Tag = number;
            mc::ui::StyleChannelButton(button);
            button->setGeometry((k % 4) * (kButtonWidth + 5) + firstColumn, (k / 4) * (height + 5) + 35,
                                kButtonWidth, height);
            ConnectGuarded(button, &QPushButton::clicked,
                           inputs ? &TForm1::InRzButtonClick : &TForm1::OutRzButtonClick, button);
            button->show();
        }
        button->setText(caption);
    }
    list->addItems(items);
    if (list->count() > 0)
        list->setCurrentIndex(0);
}

void TForm1::InRzButtonClick(Tmybtn *clicked)
{
    if (SelectedInput)
        SetLime(SelectedInput, false);
    const QList<Tmybtn *> buttons = Panel1->findChildren<Tmybtn *>(Qt::FindDirectChildrenOnly);
    for (Tmybtn *b : buttons)
        if (b->objectName().contains(QLatin1String("out"), Qt::CaseInsensitive))
            SetLime(b, false);
    if (SelectedInput && SelectedInput->Tag == clicked->Tag) {
        SelectedInput = nullptr;
        return;
    }
    SelectedInput = clicked;
    SetLime(clicked, true);
    for (int i = 0; i < clicked->Links.Count(); ++i)
        SetLime(clicked->Links.Object(i), true);
}

void TForm1::OutRzButtonClick(Tmybtn *clicked)
{
    SelectedOutput = clicked;
    SetLime(clicked, true);
    if (SelectedInput) {
        Tmybtn *input = SelectedInput;
        SendRoute(input->Tag, clicked->Tag);
        LinkButtons(input, clicked);
    }
}

mc::cmd::Mode TForm1::CheckedMode() const
{
    if (RzRadioButton1->isChecked())
        return mc::cmd::Mode::AudioVideo;
    if (RzRadioButton2->isChecked())
        return mc::cmd::Mode::Video;
    return mc::cmd::Mode::Audio;
}

void TForm1::SendRoute(int input, int output)
{
    const QByteArray command = mc::cmd::Route(input, output, CheckedMode());
    SendCommand(command);
    Label6->setText(QStringLiteral("协议:") + QString::fromLatin1(command));
}

// Records output O as showing input I; an output is under one input at most.
void TForm1::LinkButtons(Tmybtn *input, Tmybtn *output)
{
    const QString key = QStringLiteral("Op") + QString::number(output->Tag);
    if (input->Links.IndexOf(key) >= 0)
        return;
    if (Tmybtn *previous = output->Links.Find(QStringLiteral("in"))) {
        output->Links.Remove(QStringLiteral("in"));
        previous->Links.Remove(key);
    }
    input->Links.Add(key, output);
    output->Links.Add(QStringLiteral("in"), input);
}

// Selects the input shown in the input list unless it is selected already.
void TForm1::bsSkinComboBox1Change()
{
    Tmybtn *button = FindChannelButton(QStringLiteral("inbtn") + QString::number(bsSkinComboBox1->currentIndex() + 1));
    if (button && !IsLime(button))
        InRzButtonClick(button);
}

void TForm1::RzBmpButton5Click()
{
    bsSkinComboBox1Change();
    if (Tmybtn *output = FindChannelButton(QStringLiteral("outbtn") + QString::number(bsSkinComboBox2->currentIndex() + 1)))
        OutRzButtonClick(output);
}

void TForm1::RzBmpButton2Click()
{
    const int n = bsSkinComboBox1->currentIndex() + 1;
    const QByteArray command = mc::cmd::RouteToAll(n, CheckedMode());
    SendCommand(command);
    Label6->setText(QStringLiteral("协议:") + QString::fromLatin1(command));
    Tmybtn *input = FindChannelButton(QStringLiteral("inbtn") + QString::number(n));
    if (!input)
        return;
    input->Links.Clear();
    const QList<Tmybtn *> buttons = Panel1->findChildren<Tmybtn *>(Qt::FindDirectChildrenOnly);
    for (Tmybtn *b : buttons) {
        b->Links.Clear();
        if (b->objectName().contains(QLatin1String("outb"), Qt::CaseInsensitive)) {
            input->Links.Add(QStringLiteral("Op") + QString::number(b->Tag), b);
            b->Links.Add(QStringLiteral("in"), input);
            SetLime(b, true);
        }
    }
}

void TForm1::LoadPresetNames()
{
    bsSkinComboBox3->clear();
    const QStringList names = mc::settings::ReadModeNames(m_baseFolder);
    for (int n = 1; n <= names.size(); ++n)
        bsSkinComboBox3->addItem(QString::number(n) + QLatin1Char('.') + names.at(n - 1));
    m_link.LinkKind = mc::settings::ReadLinkKind(m_baseFolder);
    bsSkinComboBox3->setCurrentIndex(0);
}

void TForm1::RzBmpButton3Click() { SendCommand(mc::cmd::CallPreset(bsSkinComboBox3->currentIndex() + 1)); }

void TForm1::RzBmpButton4Click() { SendCommand(mc::cmd::SavePreset(bsSkinComboBox3->currentIndex() + 1)); }

void TForm1::RzBmpButton1Click() { m_link.RefreshStatus(); }
