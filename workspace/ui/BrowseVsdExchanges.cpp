// SPDX-License-Identifier: LicenseRef-Kestrom
// The main window's exchanges with the service: the list request and its
// answer, the answers of running applications, repay and return, the print
// form. Each runs as one job on the runner's worker; texts for the work line
// come back by queued calls, the outcome with the run's result.
#include "workspace/ui/BrowseVsdWindow.h"

#include "ui_BrowseVsdWindow.h"

#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "responses/VsdLoader.h"
#include "store/RecordText.h"
#include "vetis/ExchangeRunner.h"
#include "vetis/RequestCodes.h"
#include "vetis/StoredVetisSettings.h"
#include "workspace/PrintForm.h"
#include "workspace/VsdApplications.h"
#include "workspace/VsdRegisterExport.h"
#include "workspace/ui/VsdListModel.h"

#include <QDesktopServices>
#include <QPointer>
#include <QThread>

#include <QUrl>
#include <functional>

namespace workspace::ui {

namespace {

// What a list job leaves for the window.
struct ListJobProduct
{
    std::string pendingId; // still to be received; empty when finished or none
};

const char* statusWord(int status)
{
    switch (status) {
    case 1:
        return "CONFIRMED";
    case 2:
        return "WITHDRAWN";
    case 3:
        return "UTILIZED";
    case 4:
        return "FINALIZED";
    default:
        return "";
    }
}

// Waits on the worker, giving up early when the run is cancelled.
bool pause(vetis::ExchangeWorker& worker, int milliseconds)
{
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (worker.cancelRequested())
            return false;
        QThread::msleep(50);
    }
    return !worker.cancelRequested();
}

// Receives the result of a list application and stores its VSDs, on the
// worker; the id is cleared when the application is finished.
bool receiveList(vetis::ExchangeWorker& worker, const QString& folder, const std::string& entity,
                 std::string& id, const std::function<void(const QString&)>& workLine)
{
    // The names the load fetches, and the settings, go through a session of
    // their own: the worker's holds the load's transaction.
    store::Session references(folder);
    vetis::StoredVetisSettings settings(references);
    vetis::ExchangeContext context;
    context.settings = &settings;
    const responses::VsdLoadOutcome outcome =
        responses::loadVsdList(worker.session(), references, context, id, entity,
                               framework::messagePresenter(), workLine, &worker.control());
    worker.setProduct(ListJobProduct{id});
    return outcome.exchanged && !outcome.failed;
}

// Runs repay, return or the polls of applications on the worker.
template <typename Run>
bool runApplications(vetis::ExchangeWorker& worker, const std::string& entity, Run run)
{
    vetis::ExchangeContext context;
    context.settings = &worker.storedSettings();
    VsdApplicationsSetup setup{worker.session(),
                               context,
                               entity,
                               framework::messagePresenter(),
                               [&worker] { return worker.cancelRequested(); },
                               {},
                               &worker.control()};
    worker.setProduct(run(setup));
    return true;
}

} // namespace

QString BrowseVsdWindow::dataFolder() const
{
    return m_options.dataFolder.isEmpty() ? framework::process::dataFolder() : m_options.dataFolder;
}

std::function<void(const QString&)> BrowseVsdWindow::workLineFromWorker()
{
    QPointer<BrowseVsdWindow> window(this);
    return [window](const QString& text) {
        QMetaObject::invokeMethod(
            window.data(),
            [window, text] {
                if (window)
                    window->setWorkLine(text);
            },
            Qt::QueuedConnection);
    };
}

void BrowseVsdWindow::requestList()
{
    if (m_runner->isRunning())
        return;
    const int packet = m_ui->packet->value();
    if (packet < 1) {
        framework::problemMessage(framework::messagePresenter(),
                                  QStringLiteral("Номер пакета должен быть не меньше 1 !"));
        return;
    }
    clearMarks();
    setWorkLine({});
    m_pendingListRequest.clear();

    vetis::RequestRecord request;
    request.setRequestCode(vetis::RequestCode::VetDocumentList);
    request.COUNT = 1000;
    request.OFFSET = (packet - 1) * 1000;
    store::setText(request.VETISGUID, m_own.guid);
    store::setZText(request.P1, m_own.guid);
    store::setZText(request.P2, m_own.workingEnterprise);
    store::setZText(request.P3, "INCOMING");
    store::setZText(request.P4, statusWord(m_ui->status->currentData().toInt()));
    if (m_ui->periodOn->isChecked()) {
        request.DATE1 = platform::dayNumber(m_ui->dateFrom->date());
        request.DATE2 = platform::dayNumber(m_ui->dateTo->date());
    }
    const QString folder = dataFolder();
    const std::string entity = m_own.guid;
    const auto workLine = workLineFromWorker();
    m_job = Job::ListRequest;
    const bool started =
        m_runner->start([request, folder, entity, workLine](vetis::ExchangeWorker& worker) mutable {
            vetis::ExchangeContext context;
            if (!worker.exchange(request, context))
                return false;
            auto& presenter = framework::messagePresenter();
            const std::string status(store::ztextOf(request.APPSTATUS));
            ListJobProduct product;
            if (status == "ACCEPTED" || status == "IN_PROCESS" || status == "COMPLETED") {
                product.pendingId = std::string(store::textOf(request.APPID));
            } else if (status == "REJECTED") {
                framework::informationMessage(
                    presenter, QStringLiteral("Ваша заявка на получение ВСД отклонена сервисом !"));
            } else {
                framework::problemMessage(
                    presenter, QStringLiteral("Нет данных или неизвестный ответ сервиса на запрос ВСД !"));
            }
            worker.setProduct(product);
            if (product.pendingId.size() != 36)
                return true;
            workLine(QStringLiteral("ОЖИДАЕМ СПИСОК ВСД ПО ЗАПРОСУ: ") +
                     QString::fromStdString(product.pendingId));
            if (!pause(worker, 3000))
                return false;
            receiveList(worker, folder, entity, product.pendingId, workLine);
            return true;
        });
    if (!started)
        m_job = Job::None;
}

void BrowseVsdWindow::answers()
{
    if (m_runner->isRunning())
        return;
    if (m_pendingListRequest.size() == 36) {
        clearMarks();
        receivePendingList();
        return;
    }
    // Every VSD of the enterprise whose application waits for an answer.
    const std::string entity = m_own.guid;
    const std::string enterprise = m_own.workingEnterprise;
    m_job = Job::Polls;
    const bool started = m_runner->start([entity, enterprise](vetis::ExchangeWorker& worker) {
        return runApplications(worker, entity, [&](VsdApplicationsSetup& setup) {
            return pollVsdApplications(setup, enterprise);
        });
    });
    if (!started)
        m_job = Job::None;
}

void BrowseVsdWindow::receivePendingList()
{
    const QString folder = dataFolder();
    const std::string entity = m_own.guid;
    std::string id = m_pendingListRequest;
    const auto workLine = workLineFromWorker();
    m_job = Job::ListAnswer;
    const bool started =
        m_runner->start([folder, entity, id, workLine](vetis::ExchangeWorker& worker) mutable {
            return receiveList(worker, folder, entity, id, workLine);
        });
    if (!started)
        m_job = Job::None;
}

void BrowseVsdWindow::repayOrReturn(int operation)
{
    if (m_runner->isRunning())
        return;
    auto& presenter = framework::messagePresenter();
    const QString word = operation == 1 ? QStringLiteral("гашение") : QStringLiteral("возврат");
    std::vector<std::string> uuids = m_model->selection().ordered();
    if (!uuids.empty()) {
        if (!framework::questionMessage(presenter, QStringLiteral("Отправить на ") + word +
                                                       QStringLiteral(" выбранные в списке ВСД: ") +
                                                       QString::number(uuids.size()) + QStringLiteral(" ?")))
            return;
    } else {
        const std::string current = m_model->uuidAt(m_ui->list->currentIndex().row());
        if (current.size() != 36)
            return;
        if (!framework::questionMessage(presenter, QStringLiteral("Отправить текущий ВСД на ") + word +
                                                       QStringLiteral(" ?")))
            return;
        uuids.push_back(current);
    }
    const std::string entity = m_own.guid;
    const VsdOperation op = operation == 1 ? VsdOperation::Repay : VsdOperation::Return;
    m_job = Job::RepayReturn;
    const bool started = m_runner->start([entity, op, uuids](vetis::ExchangeWorker& worker) {
        return runApplications(
            worker, entity, [&](VsdApplicationsSetup& setup) { return repayOrReturnVsds(setup, op, uuids); });
    });
    if (!started)
        m_job = Job::None;
}

void BrowseVsdWindow::printForm()
{
    if (m_runner->isRunning())
        return;
    const std::string uuid = m_model->uuidAt(m_ui->list->currentIndex().row());
    const std::string entity = m_own.guid;
    setWorkLine(QStringLiteral("Запрос печатной формы ВСД в PDF формате ..."));
    m_job = Job::Print;
    const bool started = m_runner->start([entity, uuid](vetis::ExchangeWorker& worker) {
        const QString file = downloadPrintForm(worker.session(), entity, uuid, &worker.control());
        worker.setProduct(file);
        return !file.isEmpty();
    });
    if (!started) {
        m_job = Job::None;
        setWorkLine(QStringLiteral("ГОТОВ К ЗАПРОСУ"));
    }
}

void BrowseVsdWindow::exportRegister()
{
    if (m_runner->isRunning())
        return;
    const std::vector<std::string> uuids = m_model->selection().ordered();
    if (uuids.empty()) {
        framework::problemMessage(
            framework::messagePresenter(),
            QStringLiteral(
                "Нет выбранных в списке записей (клавиши [ПРОБЕЛ] или [F8] для выбора диапазона) !"));
        return;
    }
    RegisterHeading heading;
    heading.entityName = m_own.name;
    for (const EnterpriseChoice& e : m_enterprises)
        if (e.guid == m_own.workingEnterprise)
            heading.enterpriseName = e.name;
    m_job = Job::Register;
    const bool started = m_runner->start([uuids, heading](vetis::ExchangeWorker& worker) {
        const QString file =
            exportVsdRegister(worker.session(), uuids, heading, [&worker](int done, int total) {
                if (total > 0)
                    worker.control().setProgress(done * 100 / total);
            });
        worker.setProduct(file);
        return !file.isEmpty();
    });
    if (!started)
        m_job = Job::None;
}

void BrowseVsdWindow::openMadeFile(const QString& file)
{
    if (m_options.openFile)
        m_options.openFile(file);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void BrowseVsdWindow::runFinished(const vetis::ExchangeRunResult& result)
{
    const Job job = std::exchange(m_job, Job::None);
    if (job == Job::ListRequest || job == Job::ListAnswer) {
        if (const auto* product = std::any_cast<ListJobProduct>(&result.product))
            m_pendingListRequest = product->pendingId;
        else if (job == Job::ListRequest)
            m_pendingListRequest.clear();
        if (m_pendingListRequest.empty() &&
            (result.outcome != vetis::RunOutcome::Succeeded || job == Job::ListRequest) &&
            m_ui->workLine->text().isEmpty())
            setWorkLine(QStringLiteral("ГОТОВ К ЗАПРОСУ"));
        if (job == Job::ListRequest && m_ui->tabs->currentIndex() != 0)
            m_ui->tabs->setCurrentIndex(0);
    }
    if (job == Job::Print || job == Job::Register) {
        if (job == Job::Print)
            setWorkLine(QStringLiteral("ГОТОВ К ЗАПРОСУ"));
        const QString* file = std::any_cast<QString>(&result.product);
        if (file && !file->isEmpty())
            openMadeFile(*file);
        return;
    }
    if (job == Job::Polls) {
        const int* waiting = std::any_cast<int>(&result.product);
        if (waiting && *waiting == 0) {
            setWorkLine(QStringLiteral("ГОТОВ К ЗАПРОСУ"));
            framework::informationMessage(
                framework::messagePresenter(),
                QStringLiteral("Нет запросов требующих получения ответа с сервиса !"));
        }
    }
    refreshList();
    m_ui->list->setFocus();
}

} // namespace workspace::ui
