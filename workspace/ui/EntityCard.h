// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/OwnEntityLoad.h"
#include "store/tables/Entity.h"
#include "workspace/ReferenceCardTexts.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class EntityCard;
}
namespace store {
class Session;
}

// The card of one business entity of m_Entity (Form_Entity) with the list of
// its enterprises. Viewed for any entity; the user's own entity is opened in
// change mode to maintain it: its issuer id and names, its VetIS.API access
// settings and the enterprise the program works for.
namespace workspace::ui {

// What the card asks of the program; tests put their own in.
struct EntityCardHooks
{
    // Runs the VetIS.API access settings of the entity (Windows-1251 GUID).
    std::function<void(QWidget* parent, const std::string& entityGuid)> openAccessSettings;
    // Shows the card of a stored enterprise; false when it is not stored.
    std::function<bool(QWidget* parent, const std::string& enterpriseGuid)> openEnterprise;
    // Loads the entity (Windows-1251 GUID, its issuer id) and its enterprises
    // from Mercury into the tables; the card tells the outcome.
    std::function<responses::EntityLoadResult(QWidget* parent, const std::string& entityGuid)>
        loadFromMercury;
};
// The access settings window on m_Vetis, the enterprise card on the session
// and the load from Mercury on a worker over `dataFolder` (empty: the current
// folder, as the program's own session).
EntityCardHooks defaultEntityCardHooks(store::Session& session, const QString& dataFolder = {});

// Loads the entity `entityGuid` and its enterprises from Mercury on the
// worker of a vetis::ExchangeRunner over `dataFolder`, keeping the calling
// window's events going until it ends. Shows no message of its own.
responses::EntityLoadResult loadEntityOnWorker(const QString& dataFolder, const std::string& entityGuid);

class EntityCard final : public QDialog
{
    Q_OBJECT
public:
    // `record` is the entity as read from m_Entity; `mode` Change or View.
    EntityCard(store::Session& session, const store::EntityRecord& record, CardMode mode,
               EntityCardHooks hooks, QWidget* parent = nullptr);
    ~EntityCard() override;

    CardMode mode() const { return m_mode; }
    // The record with the window's fields taken into it.
    store::EntityRecord recordShown() const;
    // The enterprises as listed.
    const std::vector<EntityEnterpriseRow>& enterprises() const { return m_enterprises; }

    // Closing remembers the window's placement.
    void done(int result) override;

private:
    void showRecord();
    void showEnterprises();
    void openAccessSettings();
    void chooseWorking();
    void loadFromMercury();
    void openEnterprise();
    void save();
    int currentEnterprise() const;

    std::unique_ptr<::Ui::EntityCard> m_ui;
    store::Session& m_session;
    store::EntityRecord m_record;
    CardMode m_mode;
    EntityCardHooks m_hooks;
    std::vector<EntityEnterpriseRow> m_enterprises;
};

// How a run of the entity card ended.
enum class EntityCardResult
{
    Saved,     // changed and written
    Closed,    // viewed, or left without saving
    NoGuid,    // `entityGuid` is not 36 characters long: no card
    NotStored, // no such entity in m_Entity: no card
};

// Runs the card modally on the stored entity `entityGuid` (MEN:GUID), in
// change mode when `change` is set, else for viewing. Shows no message of its
// own when there is no card: the caller knows which entity it asked for
// ("Отправитель", "Перевозчик", its own) and says so.
EntityCardResult runEntityCard(QWidget* parent, store::Session& session, const std::string& ownEntityGuid,
                               const std::string& entityGuid, bool change,
                               const EntityCardHooks* hooks = nullptr);
// The same; true when the card was saved.
bool openEntityCard(QWidget* parent, store::Session& session, const std::string& ownEntityGuid,
                    const std::string& entityGuid, bool change);

} // namespace workspace::ui
