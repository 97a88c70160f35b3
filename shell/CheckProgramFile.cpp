// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/CheckProgramFile.h"

#include "platform/BuildMarker.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>

namespace shell {

namespace {

bool isUpperHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

framework::MessageRequest oneButton(const QString& caption, const QString& button, const QString& text)
{
    framework::MessageRequest r;
    r.caption = caption;
    r.text = text;
    r.icon = framework::MessageIcon::Information;
    r.customButtons = {button};
    return r;
}

QString closeButton()
{
    return QStringLiteral("&1. Закрыть");
}

} // namespace

BuildMarker readBuildMarker(const QString& path)
{
    BuildMarker result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return result;
    // The libraries are searched where they lie, without reading them into memory.
    const uchar* mapped = file.map(0, file.size());
    const QByteArray whole = mapped ? QByteArray() : file.readAll();
    const QByteArrayView bytes = mapped ? QByteArrayView(mapped, file.size()) : QByteArrayView(whole);
    static const QByteArray prefix(ZANVO_BUILD_MARKER_PREFIX);
    const qsizetype at = bytes.indexOf(prefix);
    if (at < 0)
        return result;
    const qsizetype digits = at + prefix.size();
    if (digits + 4 > bytes.size()) {
        result.status = BuildMarker::Unreadable;
        return result;
    }
    unsigned build = 0;
    for (qsizetype i = digits; i < digits + 4; ++i) {
        const char c = bytes[i];
        if (!isUpperHex(c)) {
            result.status = BuildMarker::Unreadable;
            return result;
        }
        build = build * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'A' + 10);
    }
    result.status = BuildMarker::Found;
    result.build = static_cast<std::uint16_t>(build);
    return result;
}

QString buildText(unsigned build)
{
    const unsigned low = build & 0xFFFFu;
    return QString::number(low, 16).toUpper().rightJustified(4, u'0') + QStringLiteral("  ( ") +
           QString::number(low) + QStringLiteral(" )");
}

framework::MessageRequest buildMismatchMessage()
{
    return oneButton(QStringLiteral("Нарушена целостность программы"),
                     QStringLiteral("  &1. Переустановите программу ! ."),
                     QStringLiteral("У нас проблема !     ."));
}

framework::MessageRequest missingFileMessage(const QString& programPath, const QString& missingFile)
{
    return oneButton(
        QStringLiteral("У нас проблема"), closeButton(),
        QStringLiteral("Нарушена целостность файлов программы !||В папке из которой запущена программа:|") +
            programPath + QStringLiteral("||") + QStringLiteral("Нет файла: ") +
            QFileInfo(missingFile).fileName() + QStringLiteral("||") +
            QStringLiteral("Выполните пожалуйста переустановку программы.|"));
}

framework::MessageRequest unreadableVersionMessage()
{
    return oneButton(QStringLiteral("У нас проблема"), closeButton(),
                     QStringLiteral("Ошибка WinGetFileVersionInfo !"));
}

framework::MessageRequest dataFolderMessage()
{
    return oneButton(QStringLiteral("Сообщение"), closeButton(),
                     QStringLiteral("Нет доступа к папке с БД программы Zanvo !"));
}

framework::MessageRequest otherBuildMessage(const QString& programPath, unsigned expectedBuild,
                                            const QString& libraryPath, unsigned libraryBuild)
{
    return oneButton(
        QStringLiteral("У нас проблема"), closeButton(),
        QStringLiteral("Нарушена целостность библиотек программы !|Различные версии сборки EXE и DLL "
                       "файлов программы.||") +
            programPath + QStringLiteral("|Версия: 0x") + buildText(expectedBuild) + QStringLiteral("||") +
            libraryPath + QStringLiteral("|Версия: 0x") + buildText(libraryBuild) + QStringLiteral("||") +
            QStringLiteral("Выполните пожалуйста переустановку программы.|"));
}

bool CheckProgramFile(const QString& path, unsigned expectedBuild, bool reportUnreadable,
                      const CheckContext& context)
{
    framework::MessagePresenter& presenter =
        context.presenter ? *context.presenter : framework::messagePresenter();
    const BuildMarker marker = expectedBuild > 0 ? readBuildMarker(path) : BuildMarker{};

    if (marker.status == BuildMarker::Absent) {
        // No version information: the file only has to be there.
        if (QFileInfo(path).isFile())
            return false;
        framework::showNotice(presenter, missingFileMessage(context.programPath, path));
        return true;
    }
    if (marker.status == BuildMarker::Unreadable) {
        if (reportUnreadable)
            framework::showNotice(presenter, unreadableVersionMessage());
        return false;
    }
    // Only four hex digits are stored, so only the low 16 bits are compared.
    if (marker.build == (expectedBuild & 0xFFFFu))
        return false;
    framework::showNotice(presenter,
                          otherBuildMessage(context.programPath, expectedBuild, path, marker.build));
    return true;
}

bool CheckProgramFile(const QString& path, unsigned expectedBuild, bool reportUnreadable)
{
    return CheckProgramFile(path, expectedBuild, reportUnreadable,
                            CheckContext{platform::programPath(), nullptr});
}

} // namespace shell
