#pragma once
// A private home for one test: XDG folders in a temporary directory, restored after.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <map>
#include <sqlite3.h>
#include <string>

class TestHome {
public:
    TestHome()
    {
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "MURIVO_DESKTOP"})
            saved[v] = qgetenv(v);
        root = dir.path();
        QDir().mkpath(config());
        QDir().mkpath(data());
        QDir().mkpath(runtime());
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_CONFIG_HOME", config().toUtf8());
        qputenv("XDG_DATA_HOME", data().toUtf8());
        qputenv("XDG_CACHE_HOME", cache().toUtf8());
        qputenv("XDG_RUNTIME_DIR", runtime().toUtf8());
    }
    ~TestHome()
    {
        for (auto& [k, v] : saved) {
            if (v.isNull())
                qunsetenv(k.c_str());
            else
                qputenv(k.c_str(), v);
        }
    }
    QString config() const { return root + "/config"; }
    QString data() const { return root + "/data"; }
    QString cache() const { return root + "/cache"; }
    QString runtime() const { return root + "/run"; }
    QString path(const QString& rel) const { return root + "/" + rel; }

    // A solid picture file in the given format, in a folder below the home.
    QString picture(const QString& rel, QColor colour, QSize size = QSize(64, 48), const char* format = nullptr)
    {
        const QString p = path(rel);
        QDir().mkpath(QFileInfo(p).absolutePath());
        if (format && QByteArray(format).toUpper() == "GIF") {
            // Qt reads GIF but cannot write it.
            QFile f(p);
            f.open(QIODevice::WriteOnly);
            f.write(solidGif(size, colour));
            return p;
        }
        QImage img(size, QImage::Format_RGB32);
        img.fill(colour);
        img.save(p, format);
        return p;
    }

    // A valid GIF of one colour. The LZW stream sends a clear code before every
    // two pixels, so the code width never grows past three bits.
    static QByteArray solidGif(QSize size, QColor colour)
    {
        QByteArray g("GIF89a");
        auto le16 = [&](int v) {
            g.append(char(v & 0xff));
            g.append(char((v >> 8) & 0xff));
        };
        le16(size.width());
        le16(size.height());
        g.append(char(0x80));   // global table of two colours
        g.append('\0');
        g.append('\0');
        g.append(char(colour.red()));
        g.append(char(colour.green()));
        g.append(char(colour.blue()));
        g.append(3, '\0');
        g.append(char(0x2c));
        le16(0);
        le16(0);
        le16(size.width());
        le16(size.height());
        g.append('\0');
        g.append(char(2));   // minimum code size
        QByteArray bits;
        quint32 acc = 0;
        int n = 0;
        auto put = [&](int code) {
            acc |= static_cast<quint32>(code) << n;
            n += 3;
            while (n >= 8) {
                bits.append(char(acc & 0xff));
                acc >>= 8;
                n -= 8;
            }
        };
        const long long pixels = static_cast<long long>(size.width()) * size.height();
        for (long long i = 0; i < pixels; i += 2) {
            put(4);
            put(0);
            if (i + 1 < pixels)
                put(0);
        }
        put(5);
        if (n > 0)
            bits.append(char(acc & 0xff));
        for (int i = 0; i < bits.size(); i += 255) {
            const QByteArray block = bits.mid(i, 255);
            g.append(char(block.size()));
            g.append(block);
        }
        g.append('\0');
        g.append(char(0x3b));
        return g;
    }

    // A wallpaper list file with table1 and these rows, in one transaction.
    static void WriteList(const QString& file, const QStringList& rows)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        sqlite3_exec(db, "CREATE TABLE table1 (path TEXT, id INTEGER PRIMARY KEY AUTOINCREMENT); BEGIN", nullptr, nullptr, nullptr);
        for (const QString& p : rows) {
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(db, "INSERT INTO table1(path) VALUES(?)", -1, &s, nullptr);
            const QByteArray u = p.toUtf8();
            sqlite3_bind_text(s, 1, u.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(s);
            sqlite3_finalize(s);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

private:
    QTemporaryDir dir;
    QString root;
    std::map<std::string, QByteArray> saved;
};
