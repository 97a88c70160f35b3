// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ui/MarkerDialog.h"

#include "ui_MarkerDialog.h"

#include "framework/ui/WindowPlacementUi.h"
#include "lists/Palette.h"
#include "lists/ui/DialogFont.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>

namespace lists::ui {

namespace {

const QString kMarkerWindowId = QStringLiteral("SelectMark");
constexpr int kMarkerColumns = 6;
const QSize kSwatchSize(36, 18);

// A filled swatch of the entry's colour; index 0 has none and shows an empty
// frame.
QIcon markerSwatch(int index)
{
    QPixmap swatch(kSwatchSize);
    if (const auto colour = paletteColour(index)) {
        const Rgb rgb = rgbOfColour(*colour);
        swatch.fill(QColor(rgb.red, rgb.green, rgb.blue));
    } else {
        swatch.fill(Qt::transparent);
    }
    return QIcon(swatch);
}

} // namespace

MarkerDialog::MarkerDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::MarkerDialog>())
{
    m_ui->setupUi(this);
    for (int index = 0; index < kPaletteSize; ++index) {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("MARKER%1").arg(index));
        button->setIcon(markerSwatch(index));
        button->setIconSize(kSwatchSize);
        button->setToolTip(QString::number(index));
        button->setAutoDefault(false);
        m_ui->markersLayout->addWidget(button, index / kMarkerColumns, index % kMarkerColumns);
        connect(button, &QPushButton::clicked, this, [this, index] {
            m_chosen = index;
            accept();
        });
    }
    connect(m_ui->BCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->BCANCEL->setAutoDefault(false);

    useUiFontSize(*this);
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kMarkerWindowId);
}

MarkerDialog::~MarkerDialog() = default;

void MarkerDialog::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kMarkerWindowId);
    QDialog::done(result);
}

std::optional<int> chooseMarker(QWidget* parent)
{
    MarkerDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

} // namespace lists::ui
