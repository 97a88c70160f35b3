// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/BuiltInRows.h"

#include <QUuid>

#include <array>
#include <cstdio>

namespace store {

namespace {

// The namespace of the derived package-type GUIDs (made once, never to change:
// the GUIDs stored on every machine depend on it).
const QUuid kPackageNamespace(QStringLiteral("{6f3c2a1e-8d4b-4e7a-9c55-1b2d3e4f5a60}"));

std::string derived(std::string_view what, const char* code)
{
    const QByteArray name = QByteArray(what.data(), static_cast<qsizetype>(what.size())) + code;
    return QUuid::createUuidV5(kPackageNamespace, name).toString(QUuid::WithoutBraces).toStdString();
}

constexpr std::array<std::string_view, 8> kProductTypeNames = {
    "Мясо и мясопродукты", "Корма и кормовые добавки",
    "Живые животные",      "Лекарственные средства",
    "Пищевые продукты",    "Непищевые продукты и другое",
    "Рыба и морепродукты", "Продукция, не требующая разрешения"};

} // namespace

std::string builtInPackageGuid(const PackageTypeRow& row)
{
    return *row.guid ? std::string(row.guid) : derived("packing-type:", row.code);
}

std::string builtInPackageUuid(const PackageTypeRow& row)
{
    return *row.uuid ? std::string(row.uuid) : derived("packing-type-version:", row.code);
}

std::string_view productTypeName(int number)
{
    return number >= 1 && number <= 8 ? kProductTypeNames[static_cast<std::size_t>(number - 1)]
                                      : std::string_view();
}

std::string productTypeGuid(int number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d", kProductTypeKind, number);
    return text;
}

} // namespace store
