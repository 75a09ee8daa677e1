#include "platform/linux/ffmpegcompressiondialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

namespace examo {

namespace {

constexpr int kDefaultKeyFrameEvery = 15;
constexpr int kDefaultKilobytesPerSecond = 300;

// The option rows of one choice: a box that turns it on and the number it takes.
struct OptionRow {
    QCheckBox* check;
    QSpinBox* number;

    void allow(bool allowed) {
        check->setEnabled(allowed);
        number->setEnabled(allowed && check->isChecked());
    }
};

OptionRow addOptionRow(QGridLayout* grid, int row, const QString& caption, const QString& unit,
                       const QString& name, int most) {
    auto* parent = grid->parentWidget();
    OptionRow r{.check = new QCheckBox(caption, parent), .number = new QSpinBox(parent)};
    r.check->setObjectName(QStringLiteral("chk") + name);
    r.number->setObjectName(QStringLiteral("spn") + name);
    r.number->setRange(1, most);
    grid->addWidget(r.check, row, 0);
    grid->addWidget(r.number, row, 1);
    grid->addWidget(new QLabel(unit, parent), row, 2);
    return r;
}

// The list of compressors, in the order offered, and the frame size under it.
QComboBox* addCompressors(QGridLayout* grid, const AviCompressionRequest& request) {
    auto* parent = grid->parentWidget();
    grid->addWidget(new QLabel(QStringLiteral("Compressor:"), parent), 0, 0);
    auto* compressors = new QComboBox(parent);
    compressors->setObjectName(QStringLiteral("cboCompressor"));
    for (const auto& offer : request.offers)
        compressors->addItem(QString::fromStdString(offer.name),
                             QString::fromStdString(offer.codec));
    grid->addWidget(compressors, 0, 1, 1, 2);

    auto* size = new QLabel(
        QStringLiteral("Frames of %1 x %2 pixels").arg(request.width).arg(request.height), parent);
    size->setObjectName(QStringLiteral("lblFrameSize"));
    grid->addWidget(size, 1, 0, 1, 3);
    return compressors;
}

// The previous choice, or the usual numbers where it has none.
void showPrevious(const AviCompressOptions& options, OptionRow keyFrames, OptionRow dataRate) {
    keyFrames.check->setChecked((options.flags & avicompress::kKeyFrames) != 0);
    keyFrames.number->setValue(options.keyFrameEvery > 0 ? static_cast<int>(options.keyFrameEvery)
                                                         : kDefaultKeyFrameEvery);
    dataRate.check->setChecked((options.flags & avicompress::kDataRate) != 0);
    dataRate.number->setValue(options.bytesPerSecond >= 1024
                                  ? static_cast<int>(options.bytesPerSecond / 1024)
                                  : kDefaultKilobytesPerSecond);
}

void storeChoice(const AviCompressorOffer& chosen, OptionRow keyFrames, OptionRow dataRate,
                 AviCompressOptions& options) {
    const bool useKeyFrames = keyFrames.check->isEnabled() && keyFrames.check->isChecked();
    const bool useDataRate = dataRate.check->isEnabled() && dataRate.check->isChecked();
    options.codec = chosen.codec;
    options.keyFrameEvery =
        useKeyFrames ? static_cast<std::uint32_t>(keyFrames.number->value()) : 0;
    options.bytesPerSecond =
        useDataRate ? static_cast<std::uint32_t>(dataRate.number->value()) * 1024u : 0;
    options.flags = avicompress::kValid | (useKeyFrames ? avicompress::kKeyFrames : 0) |
                    (useDataRate ? avicompress::kDataRate : 0);
}

} // namespace

bool chooseCompressionWithDialog(const AviCompressionRequest& request,
                                 AviCompressOptions& options) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr ||
        request.offers.empty())
        return false;

    QWidget* owner = request.owner != 0 ? QWidget::find(static_cast<WId>(request.owner)) : nullptr;
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("dlgVideoCompression"));
    dialog.setWindowTitle(QStringLiteral("Video Compression"));
    auto* grid = new QGridLayout(&dialog);
    QComboBox* compressors = addCompressors(grid, request);
    OptionRow keyFrames =
        addOptionRow(grid, 2, QStringLiteral("Key Frame Every"), QStringLiteral("frames"),
                     QStringLiteral("KeyFrames"), 10000);
    OptionRow dataRate =
        addOptionRow(grid, 3, QStringLiteral("Data Rate"), QStringLiteral("KB/sec"),
                     QStringLiteral("DataRate"), 1000000);
    showPrevious(options, keyFrames, dataRate);

    // Only the options the caller offers and the chosen compressor understands can be set.
    const auto refresh = [&] {
        const auto& offer =
            request.offers.at(static_cast<std::size_t>(std::max(0, compressors->currentIndex())));
        keyFrames.allow((request.flags & avisaveflags::kKeyFrames) != 0 && offer.keyFrames);
        dataRate.allow((request.flags & avisaveflags::kDataRate) != 0 && offer.dataRate);
    };
    QObject::connect(compressors, &QComboBox::currentIndexChanged, &dialog, refresh);
    QObject::connect(keyFrames.check, &QCheckBox::toggled, &dialog, refresh);
    QObject::connect(dataRate.check, &QCheckBox::toggled, &dialog, refresh);
    const int previous = compressors->findData(QString::fromStdString(options.codec));
    compressors->setCurrentIndex(previous >= 0 ? previous : 0);
    refresh();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    grid->addWidget(buttons, 4, 0, 1, 3);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    storeChoice(request.offers.at(static_cast<std::size_t>(compressors->currentIndex())), keyFrames,
                dataRate, options);
    return true;
}

} // namespace examo
