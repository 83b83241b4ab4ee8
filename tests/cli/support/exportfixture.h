#pragma once
// An export file for the tests of exported sheets: teacher "\xC5B" (Windows-1252) with 25
// lessons (75 tiles, two pages) and teacher "\xD8J" with one, texts with blanks and Danish
// letters; and the sheets the program makes of it.
#include "sheetcheck.h"
#include "tavleprintrun.h"
#include "timetable/timetable.h"

#include <QString>
#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <vector>

class ExportedSheets {
public:
    ExportedSheets()
    {
        std::ofstream file(exportPath, std::ios::binary);
        file << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
                "PERIODEBETEGNELSE\r\n";
        for (int i = 0; i < 25; ++i)
            file << "\xC5"
                    "B;"
                 << i % 3 + 7 << ". " << char('a' + i % 2) << ";F\xE6 " << i << ";Lok " << i
                 << ";Ma " << i % 7 + 1 << ". lek\r\n";
        file << "\xD8J;9c;Dansk;B\xE5"
                "d 2;Ti 2\r\n";
        file.close();
        table.LoadBrikker(exportPath);
    }
    std::string path(const char *name) const
    {
        return dir.filePath(QString::fromLatin1(name)).toStdString();
    }
    // The texts of every page of the sheets of `names` (Windows-1252), one name after the other.
    std::vector<std::vector<sheetcheck::Placed>> expected(const std::vector<std::string> &names)
    {
        table.Listing(timetable::SelectionMode::Teachers);
        std::vector<std::vector<sheetcheck::Placed>> pages;
        for (const std::string &name : names) {
            table.BuildPrintList(name);
            for (auto &page : sheetcheck::expectedPages(table.printList()))
                pages.push_back(std::move(page));
        }
        return pages;
    }

    QTemporaryDir dir;
    std::string exportPath = path("skema.csv");
    timetable::Timetable table;
    // The two teachers as typed on a command line: in the system's narrow encoding, UTF-8 on
    // Linux and the ANSI code page on Windows.
    static std::string typed(const char *utf8)
    {
        return QString::fromUtf8(utf8).toLocal8Bit().toStdString();
    }
    const std::string first = typed("\xC3\x85"
                                    "B"),
                      second = typed("\xC3\x98J");
    const std::string firstCp1252 = "\xC5"
                                    "B",
                      secondCp1252 = "\xD8J";
};
