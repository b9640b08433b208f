#include "Probe.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <cstdio>
#include <map>

namespace ulvprobe {

namespace {

struct Entry {
    std::string usage;
    Handler handler;
};

std::map<std::string, Entry>& Registry()
{
    static std::map<std::string, Entry> r;
    return r;
}

} // namespace

Command::Command(const char* name, const char* usage, Handler handler)
{
    Registry()[name] = {usage, std::move(handler)};
}

void Print(const QString& line)
{
    const QByteArray b = line.toUtf8();
    std::fwrite(b.constData(), 1, b.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintError(const QString& line)
{
    const QByteArray b = line.toUtf8();
    std::fwrite(b.constData(), 1, b.size(), stderr);
    std::fputc('\n', stderr);
}

QString JsonString(const QString& s)
{
    // QJsonDocument only serialises arrays and objects; take the element back out.
    const QByteArray a = QJsonDocument(QJsonArray{QJsonValue(s)}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(a.mid(1, a.size() - 2));
}

QString TakeOption(QStringList& args, const QString& name, const QString& def)
{
    const int i = args.indexOf(name);
    if (i < 0 || i + 1 >= args.size())
        return def;
    const QString v = args[i + 1];
    args.remove(i, 2);
    return v;
}

bool TakeFlag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

} // namespace ulvprobe

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    auto& reg = ulvprobe::Registry();
    if (args.isEmpty() || reg.find(args.first().toStdString()) == reg.end()) {
        std::fprintf(stderr, "usage: ulvprobe <command> ...\n");
        for (const auto& [name, e] : reg)
            std::fprintf(stderr, "  ulvprobe %s\n", e.usage.c_str());
        return 2;
    }
    const auto& entry = reg[args.takeFirst().toStdString()];
    return entry.handler(args);
}
