// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/tables/Enterprise.h"

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class EnterpriseCard;
}
namespace store {
class Session;
}

// The card of one enterprise of m_Enterprise (Form_Enterprise), for viewing:
// its own fields, its type and registration status as texts and the names of
// its place and owner from the local tables.
namespace workspace::ui {

class EnterpriseCard final : public QDialog
{
    Q_OBJECT
public:
    EnterpriseCard(store::Session& session, const store::EnterpriseRecord& record, QWidget* parent = nullptr);
    ~EnterpriseCard() override;

    // Closing remembers the window's placement.
    void done(int result) override;

private:
    std::unique_ptr<::Ui::EnterpriseCard> m_ui;
};

// Shows the stored enterprise `enterpriseGuid` (MEP:GUID) for viewing, as the
// main list's "Площадка" does: a GUID that is not 36 characters long gives
// "Нет данных о площадке - отправителе продукции по ВСД !", one that is not
// stored "В справочник не загружены данные о площадке - отправителе продукции
// по ВСД !". `ownEntityGuid` is the user's own entity (the card itself reads
// only local tables).
void openEnterpriseCard(QWidget* parent, store::Session& session, const std::string& ownEntityGuid,
                        const std::string& enterpriseGuid);

// The same for an enterprise picked from an entity's list: false, with no
// message, when it is not stored.
bool showStoredEnterprise(QWidget* parent, store::Session& session, const std::string& enterpriseGuid);

} // namespace workspace::ui
