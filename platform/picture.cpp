#include "platform/picture.h"

#include "platform/internal/graphics_p.h"
#include "platform/internal/picture_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

namespace platform {

namespace {

QStringList& resourceFolders()
{
    static QStringList folders{QStringLiteral("resources")};
    return folders;
}

} // namespace

void setResourceFolders(const std::vector<std::string>& folders)
{
    resourceFolders().clear();
    for (const std::string& folder : folders)
        resourceFolders().append(QString::fromStdString(folder));
}

void setResourceFolder(const std::string& path)
{
    setResourceFolders({path});
}

void detail::PictureImpl::flush()
{
    if (painter && painter->isActive())
        painter->end();
}

Picture::Picture() : d(std::make_unique<detail::PictureImpl>()) {}

Picture::Picture(int32_t width, int32_t height) : Picture()
{
    d->image = QImage(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    d->image.fill(Qt::white);
}

Picture::~Picture()
{
    if (d)
        d->flush();
}

Picture::Picture(Picture&&) noexcept = default;
Picture& Picture::operator=(Picture&&) noexcept = default;

std::optional<Picture> Picture::fromResource(int number)
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString name = QStringLiteral("%1.png").arg(number);
    for (const QString& folder : resourceFolders()) {
        const QImage image(QDir(programFolder.filePath(folder)).filePath(name));
        if (image.isNull())
            continue;
        Picture pic;
        pic.d->image = image.convertToFormat(QImage::Format_ARGB32);
        return pic;
    }
    return std::nullopt;
}

int32_t Picture::width() const
{
    return d->image.width();
}
int32_t Picture::height() const
{
    return d->image.height();
}

Graphics& Picture::graphics()
{
    if (!d->painter)
        d->painter = std::make_unique<QPainter>();
    if (!d->painter->isActive()) {
        d->painter->begin(&d->image);
        if (d->graphics) {
            // Same surface, same state: only the painter had ended.
            d->painter->setRenderHint(QPainter::Antialiasing, false);
            d->painter->setRenderHint(QPainter::TextAntialiasing, true);
        }
    }
    if (!d->graphics)
        d->graphics = std::make_unique<Graphics>(std::make_unique<detail::GraphicsImpl>(
            d->painter.get(), d->image.width(), d->image.height()));
    return *d->graphics;
}

Color Picture::pixel(int32_t x, int32_t y) const
{
    if (!d->image.valid(x, y))
        return {};
    const QRgb rgb = d->image.pixel(x, y);
    return Color{static_cast<uint8_t>(qRed(rgb)), static_cast<uint8_t>(qGreen(rgb)),
                 static_cast<uint8_t>(qBlue(rgb))};
}

} // namespace platform
