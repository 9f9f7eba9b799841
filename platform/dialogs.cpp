#include "platform/dialogs.h"

#include "platform/application.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/modal_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/window_p.h"

#include <QAbstractItemView>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QPushButton>

#include <functional>
#include <vector>

namespace platform {

using detail::qs;
using detail::ss;

namespace {

std::vector<FileType>& fileTypes()
{
    static std::vector<FileType> types;
    return types;
}

// The extensions of a file type, without their dots: {"pict", "pic", "pct"}.
QStringList extensions(std::string_view typeName)
{
    QStringList out;
    if (const FileType* type = fileType(typeName))
        for (const QString& ext : qs(type->extensions).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            out << (ext.startsWith(QLatin1Char('.')) ? ext.mid(1) : ext);
    return out;
}

// The name filter of a file type for the file dialogs, in the words of its description:
// "Kestrix documents (*.dat)".
QString nameFilter(std::string_view typeName)
{
    QStringList patterns;
    for (const QString& ext : extensions(typeName))
        patterns << QStringLiteral("*.") + ext;
    if (patterns.isEmpty())
        patterns << QStringLiteral("*");
    const FileType* type = fileType(typeName);
    const QString label = type && !type->description.empty() ? qs(type->description) : qs(typeName);
    return QStringLiteral("%1 (%2)").arg(label, patterns.join(QLatin1Char(' ')));
}

// The folder a dialog starts in, for an item that may be a folder, a file, or nothing that
// exists any more.
QString startFolder(const File& start)
{
    QFileInfo info(qs(start.absolutePath()));
    if (info.isDir())
        return info.absoluteFilePath();
    if (info.absoluteDir().exists())
        return info.absolutePath();
    return QDir::homePath();
}

// The picture of a question's icon (0 note, 1 caution, 2 stop, 3 question), drawn here: the
// toolkit's own would be looked up in the icon theme's folders first, which slows the
// start-up question down by a tenth of the program's start.
QPixmap questionIcon(int icon, qreal ratio)
{
    constexpr int kSize = 32;
    QPixmap picture(QSize(kSize, kSize) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    static constexpr QRgb kFill[] = {qRgb(53, 132, 228), qRgb(245, 194, 17), qRgb(204, 40, 40),
                                     qRgb(53, 132, 228)};
    p.setBrush(QColor(kFill[icon]));
    if (icon == 1)
        p.drawPolygon(QPolygonF({QPointF(16, 1.5), QPointF(31, 29.5), QPointF(1, 29.5)}));
    else
        p.drawEllipse(QRectF(1, 1, kSize - 2, kSize - 2));
    static constexpr char16_t kMark[] = {u'i', u'!', u'\u00d7', u'?'};
    p.setPen(icon == 1 ? Qt::black : Qt::white);
    p.setFont(detail::programFont(icon == 2 ? 26 : 20, true));
    p.drawText(QRectF(0, icon == 1 ? 4 : 0, kSize, kSize), Qt::AlignCenter,
               QString(QChar(kMark[icon])));
    return picture;
}

// A message box that stands centred over the window it belongs to: when it shows, and again
// whenever that window moves or is resized while it is up, as the window manager does when it
// places a window that was shown just before the box (the main window at start-up).
class OwnedMessageBox final : public QMessageBox {
public:
    OwnedMessageBox() : QMessageBox(detail::dialogParent()), mOwner(parentWidget())
    {
        if (mOwner)
            mOwner->installEventFilter(this);
    }
    ~OwnedMessageBox() override
    {
        if (mOwner)
            mOwner->removeEventFilter(this);
    }
    OwnedMessageBox(const OwnedMessageBox&) = delete;
    OwnedMessageBox& operator=(const OwnedMessageBox&) = delete;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event); // which gives the box its size
        if (mOwner)
            detail::centreOver(this, mOwner);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == mOwner && isVisible() &&
            (event->type() == QEvent::Move || event->type() == QEvent::Resize))
            detail::centreOver(this, mOwner);
        return QMessageBox::eventFilter(watched, event);
    }

private:
    QWidget* mOwner;
};

// The question's buttons, in the order the box shows them, each with the answer it gives and
// its role in the box. The close box and Escape press the Cancel button when there is one, and
// answer Cancel all the same when it is hidden: every question has a way back.
struct QuestionButton {
    MessageDialog::Button MessageDialog::*button;
    MessageDialog::Result answer;
    QMessageBox::ButtonRole role;
};
constexpr QuestionButton kQuestionButtons[] = {
    {&MessageDialog::cancelButton, MessageDialog::Result::Cancel, QMessageBox::RejectRole},
    {&MessageDialog::alternateActionButton, MessageDialog::Result::Alternate,
     QMessageBox::ActionRole},
    {&MessageDialog::actionButton, MessageDialog::Result::Action, QMessageBox::AcceptRole},
};

// The real question: the answer of the button pressed, Cancel when none was.
MessageDialog::Result askPerson(const MessageDialog& q)
{
    OwnedMessageBox box;
    // A close button, never a maximise button.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
    if (q.icon >= 0 && q.icon < 4)
        box.setIconPixmap(questionIcon(q.icon, box.devicePixelRatioF()));
    box.setWindowTitle(qs(q.title));
    box.setText(qs(q.message));
    box.setInformativeText(qs(q.explanation));
    std::vector<std::pair<QAbstractButton*, MessageDialog::Result>> answers;
    for (const QuestionButton& b : kQuestionButtons) {
        const MessageDialog::Button& button = q.*b.button;
        if (!button.visible)
            continue;
        QPushButton* shown = box.addButton(qs(button.caption), b.role);
        answers.emplace_back(shown, b.answer);
        if (b.answer == q.defaultAnswer)
            box.setDefaultButton(shown);
        if (b.answer == MessageDialog::Result::Cancel)
            box.setEscapeButton(shown);
    }
    // Without a Cancel button, a hidden one takes Escape and the close box: the box ignores
    // both while it has no button for them.
    if (!q.cancelButton.visible) {
        QPushButton* back = box.addButton(QString(), QMessageBox::RejectRole);
        back->hide();
        box.setEscapeButton(back);
        answers.emplace_back(back, MessageDialog::Result::Cancel);
    }
    box.exec();
    for (const auto& [button, answer] : answers)
        if (button == box.clickedButton())
            return answer;
    return MessageDialog::Result::Cancel;
}

// Nothing in the dialog's views can be moved by a drag: the toolkit's views move a file or
// folder dropped onto a folder without a question, and let one be dragged out to another
// program that may move it.
void keepFilesInPlace(QFileDialog& dialog)
{
    for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>()) {
        view->setDragDropMode(QAbstractItemView::NoDragDrop);
        view->viewport()->setAcceptDrops(false);
    }
}

// Runs an open or save dialog: the chosen file, or nothing when the person cancelled.
ModalAnswer runFileDialog(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return ModalAnswer::cancel();
    return ModalAnswer::file(ss(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath()));
}

// The file an open or save dialog gave; nothing when it was cancelled.
std::optional<File> chosenFile(const ModalRequest& request,
                               const std::function<ModalAnswer()>& show)
{
    const std::optional<ModalAnswer> answer = detail::runModal(request, show);
    if (!answer || !answer->path)
        return std::nullopt;
    return File(*answer->path);
}

} // namespace

void declareFileType(const FileType& type)
{
    for (FileType& t : fileTypes())
        if (t.name == type.name) {
            t = type;
            return;
        }
    fileTypes().push_back(type);
}

const FileType* fileType(std::string_view name)
{
    for (const FileType& t : fileTypes())
        if (t.name == name)
            return &t;
    return nullptr;
}

void MsgBox(std::string_view message)
{
    ModalRequest request;
    request.kind = ModalRequest::Kind::Message;
    if (const Application* app = Application::instance())
        request.title = app->name();
    request.message = std::string(message);
    detail::runModal(request, [&request] {
        OwnedMessageBox box;
        box.setWindowTitle(qs(request.title));
        box.setText(qs(request.message));
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return ModalAnswer::ok();
    });
}

MessageDialog::Result MessageDialog::showModal()
{
    ModalRequest request;
    request.kind = ModalRequest::Kind::Question;
    request.title = title;
    request.message = message;
    request.explanation = explanation;
    request.buttons = {actionButton.visible ? actionButton.caption : std::string(),
                       alternateActionButton.visible ? alternateActionButton.caption
                                                     : std::string(),
                       cancelButton.visible ? cancelButton.caption : std::string()};
    request.defaultChoice = static_cast<int>(defaultAnswer);
    const auto answer = detail::runModal(
        request, [this] { return ModalAnswer::button(static_cast<int>(askPerson(*this))); });
    // An answerer gives the button's place in `request.buttons`, which is the Result's order.
    switch (answer ? answer->choice : 2) {
    case 0:
        return Result::Action;
    case 1:
        return Result::Alternate;
    default:
        return Result::Cancel;
    }
}

std::optional<File> OpenDialog(std::string_view fileTypeName, const File& start)
{
    ModalRequest request;
    request.kind = ModalRequest::Kind::OpenFile;
    request.filter = std::string(fileTypeName);
    request.initialDirectory = start.absolutePath();
    return chosenFile(request, [&] {
        QFileDialog dialog(detail::dialogParent(), QStringLiteral("Open"), startFolder(start),
                           nameFilter(fileTypeName));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        // Choosing a file to open changes nothing on the disk: no new folder, rename or delete.
        dialog.setOption(QFileDialog::ReadOnly);
        keepFilesInPlace(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        const QFileInfo info(qs(start.absolutePath()));
        if (info.isFile())
            dialog.selectFile(info.fileName());
        return runFileDialog(dialog);
    });
}

std::optional<File> GetSaveFolderItem(std::string_view fileTypeName, std::string_view defaultName,
                                      const std::optional<File>& start)
{
    return GetSaveFolderItem(std::vector<std::string>{std::string(fileTypeName)}, defaultName,
                             start);
}

std::optional<File> GetSaveFolderItem(const std::vector<std::string>& fileTypeNames,
                                      std::string_view defaultName,
                                      const std::optional<File>& start)
{
    ModalRequest request;
    request.kind = ModalRequest::Kind::SaveFile;
    if (!fileTypeNames.empty())
        request.filter = fileTypeNames.front();
    request.filters = fileTypeNames;
    request.defaultName = std::string(defaultName);
    if (start)
        request.initialDirectory = start->absolutePath();
    return chosenFile(request, [&] {
        const QString folder = start ? startFolder(*start) : QDir::homePath();
        QStringList filters;
        for (const std::string& name : fileTypeNames)
            filters << nameFilter(name);
        QFileDialog dialog(detail::dialogParent(), QStringLiteral("Save"), folder);
        dialog.setNameFilters(filters);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        keepFilesInPlace(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // A name typed without an extension gets the first one of the type selected, so that
        // the file shows in the open dialog of its type; the overwrite question then asks
        // about that name. A name typed with any extension stays as it is.
        const auto suffixFor = [&dialog, &fileTypeNames, &filters](const QString& filter) {
            const qsizetype i = filters.indexOf(filter);
            const QStringList exts =
                i >= 0 ? extensions(fileTypeNames[static_cast<size_t>(i)]) : QStringList();
            dialog.setDefaultSuffix(exts.isEmpty() ? QString() : exts.first());
        };
        if (!filters.isEmpty())
            suffixFor(filters.first());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, suffixFor);
        dialog.selectFile(qs(defaultName));
        return runFileDialog(dialog);
    });
}

} // namespace platform
