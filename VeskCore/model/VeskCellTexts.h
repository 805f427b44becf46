#pragma once

#include "model/VeskColumns.h"
#include "model/VeskDatabaseItem.h"
#include "model/VeskNameTables.h"
#include "model/VeskProject.h"

#include <QString>

#include <optional>

/// The texts of the cells of the database and project tables. Screen texts include
/// the columns that only the screen shows ("hash"); export texts leave them out.
class VeskCellTexts {
public:
    enum class Use { Screen, Export };

    static std::optional<QString> itemText(
        const VeskDatabaseItem &item, VeskColumnID column, const VeskNameTables &tables, Use use);
    static std::optional<QString> projectText(const VeskProject &project, const QString &tableId, VeskColumnID column);
    static QString kindText(uint32_t usageCode);
};
