// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/tables/Product.h"
#include "workspace/ReferenceCardTexts.h"

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class ProductCard;
}
namespace store {
class Session;
}

// The card of one product item of m_Product (Form_Product), for viewing: its
// own fields and the names of its type, product, sub-product, producer and
// trade-mark owner from the local tables.
namespace workspace::ui {

class ProductCard final : public QDialog
{
    Q_OBJECT
public:
    ProductCard(store::Session& session, const store::ProductRecord& record, QWidget* parent = nullptr);
    ~ProductCard() override;

    // Closing remembers the window's placement.
    void done(int result) override;

private:
    std::unique_ptr<::Ui::ProductCard> m_ui;
};

// Shows the stored product item `productItemGuid` (PRD:GUID) for viewing, as
// the main list's "Продукция" does: a GUID that is not 36 characters long
// gives "Нет данных производителя (кода GUID) о продукции !", one that is not
// stored "В справочник не загружены данные производителя о продукции !".
// `ownEntityGuid` is the user's own entity (kept for the lookups of later
// changes; the card itself reads only local tables).
void openProductCard(QWidget* parent, store::Session& session, const std::string& ownEntityGuid,
                     const std::string& productItemGuid);

} // namespace workspace::ui
