#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// ulvprobe subcommands register themselves from their own files:
//   static ulvprobe::Command cmd("md5", "md5 <text>", [](const QStringList& args) { ...; return 0; });
// Output goes to stdout; a usage or input error returns 2.
namespace ulvprobe {

using Handler = std::function<int(const QStringList& args)>;

struct Command {
    Command(const char* name, const char* usage, Handler handler);
};

// Helpers for JSON-ish output and argument parsing.
void Print(const QString& line);              // writes line + "\n" to stdout (UTF-8)
void PrintError(const QString& line);         // writes line + "\n" to stderr
QString JsonString(const QString& s);         // "..." with JSON escapes
// The value after --name, or def; removes both from args when found.
QString TakeOption(QStringList& args, const QString& name, const QString& def = {});
bool TakeFlag(QStringList& args, const QString& name);

} // namespace ulvprobe
