// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/StorageErrorTexts.h"

#include <algorithm>
#include <atomic>
#include <iterator>

namespace framework {

namespace {

struct CodeText
{
    int code;
    const char* text;
};

// clang-format off
constexpr CodeText kTexts[] = {
    {2, "Файл не найден"},
    {3, "Путь не найден"},
    {4, "Слишком много открытых файлов"},
    {5, "Нет доступа"},
    {7, "Память повреждена"},
    {8, "Недостаточно памяти"},
    {30, "Запись в очереди не найдена"},
    {32, "Файл уже заблокирован"},
    {33, "Запись не доступна"},
    {35, "Запись не найдена"},
    {36, "Поврежденный файл данных"},
    {37, "Файл не был открыт"},
    {38, "Поврежденный ключевой файл"},
    {40, "Недопустимое повторение ключа"},
    {43, "Запись уже захвачена"},
    {45, "Некорректное имя файла"},
    {46, "Необходимо перестроить ключ"},
    {47, "Неверная структура файла"},
    {48, "Невозможно открыть файл транзакций"},
    {52, "Файл уже открыт"},
    {53, "Поврежденный заголовок dBase файла"},
    {54, "Файл не имеет атрибута CREATE"},
    {56, "Транзакция уже активна"},
    {57, "Поврежденный MEMO-файл"},
    {63, "Необходим монопольный доступ к файлу"},
    {64, "Нарушение совместного доступа"},
    {65, "Ошибка отката транзакции"},
    {73, "Отсутствует MEMO-файл"},
    {75, "Неверное описание типа поля"},
    {76, "Неверный параметр сортировки"},
    {77, "Индекс недоступен"},
    {78, "Вызов функции с неверным количеством параметров"},
    {79, "Тип данных не поддерживается драйвером баз данных"},
    {80, "Функция не поддерживается драйвером баз данных"},
    {81, "Неизвестная ошибка драйвера баз данных"},
    {88, "Длина ключа(индекса) превышает 245"},
    {89, "Запись была изменена другим пользователем"},
    {90, "Ошибка драйвера баз данных"},
    {800, "Неверное выражение"},
    {801, "Не найдена переменная"},
};
// clang-format on

// The storage layer's own wording for everything else.
constexpr const char* kGenericText = "Ошибка файловой операции";

std::atomic<bool> g_installed{false};

} // namespace

void installStorageErrorTexts()
{
    g_installed = true;
}

void uninstallStorageErrorTexts()
{
    g_installed = false;
}

bool storageErrorTextsInstalled()
{
    return g_installed;
}

QString storageErrorText(int code)
{
    if (code == 0)
        return {};
    if (g_installed) {
        const auto it = std::find_if(std::begin(kTexts), std::end(kTexts),
                                     [code](const CodeText& t) { return t.code == code; });
        if (it != std::end(kTexts))
            return QString::fromUtf8(it->text);
    }
    return QString::fromUtf8(kGenericText);
}

} // namespace framework
