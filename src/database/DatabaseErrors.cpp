#include "database/DatabaseErrors.h"

#include <QRegularExpression>

namespace kiv::database {

namespace {

QString readable(const QString& chinese, const QString& engineText) {
    return engineText.isEmpty() ? chinese : chinese + " (" + engineText + ")";
}

QString missingObjectText(bool table, const QString& name) {
    return QStringLiteral("資料庫中沒有%1 %2，這個資料庫不是本系統的或版本不符")
        .arg(table ? QStringLiteral("資料表") : QStringLiteral("欄位"), name);
}

// What is missing, as the file names it ("no such table: KIV6_Group") or the server does
// ("relation \"kiv6_group\" does not exist", "column c.giro does not exist").
QString missingObject(const QString& engineText) {
    static const QRegularExpression missing(
        QStringLiteral("^(?:no such (table|column): (\\S+)|(relation|column) \"?([^\"\\s]+)\"? "
                       "does not exist)"));
    const QRegularExpressionMatch m = missing.match(engineText);
    if (!m.hasMatch()) {
        return {};
    }
    const bool file = !m.captured(1).isEmpty();
    const QString kind = file ? m.captured(1) : m.captured(3);
    return missingObjectText(kind != QLatin1String("column"), m.captured(file ? 2 : 4));
}

// The Chinese description of a file error; empty for an error without one.
QString fileErrorInChinese(qint64 resultCode, const QString& engineText) {
    switch (resultCode & 0xff) {
        case 1:  // SQLITE_ERROR
            return missingObject(engineText);
        case 5:  // SQLITE_BUSY
        case 6:  // SQLITE_LOCKED
            return QStringLiteral("資料庫正由其他工作站使用中");
        case 8:  // SQLITE_READONLY
            return QStringLiteral("資料庫檔案是唯讀的，無法寫入");
        case 10:  // SQLITE_IOERR
            return QStringLiteral("讀寫資料庫檔案時發生錯誤");
        case 11:  // SQLITE_CORRUPT
        case 26:  // SQLITE_NOTADB
            return QStringLiteral("資料庫檔案已損毀，或不是資料庫檔案");
        case 13:  // SQLITE_FULL
            return QStringLiteral("磁碟已滿，無法寫入資料庫");
        case 14:  // SQLITE_CANTOPEN
            return QStringLiteral("無法開啟資料庫檔案");
        default:
            return {};
    }
}

}  // namespace

QString describeFileError(qint64 resultCode, const QString& engineText, const QString& file) {
    const QString chinese = fileErrorInChinese(resultCode, engineText);
    if (chinese.isEmpty()) {
        return file.isEmpty() ? engineText : engineText + " (" + file + ")";
    }
    return readable(file.isEmpty() ? chinese : chinese + " " + file, engineText);
}

QString describeServerError(const QString& sqlState, const QString& engineText) {
    struct Known {
        const char* state;  // a whole SQLSTATE, or the start that its class shares
        const char* chinese;
    };
    static const Known known[] = {
        {"55P03", "資料庫正由其他工作站使用中"},
        {"40P01", "資料庫正由其他工作站使用中"},
        {"25006", "資料庫是唯讀的，無法寫入"},
        {"53100", "資料庫伺服器的磁碟已滿，無法寫入"},
        {"XX001", "資料庫已損毀"},
        {"XX002", "資料庫已損毀"},
        {"08", "與資料庫伺服器的連線中斷"},
        {"57P", "資料庫伺服器已停止服務"},
    };
    if (sqlState == QLatin1String("42P01") || sqlState == QLatin1String("42703")) {
        if (const QString missing = missingObject(engineText); !missing.isEmpty()) {
            return readable(missing, engineText);
        }
    }
    for (const Known& k : known) {
        if (!sqlState.isEmpty() && sqlState.startsWith(QLatin1String(k.state))) {
            return readable(QString::fromUtf8(k.chinese), engineText);
        }
    }
    return engineText;
}

QString withStepCode(const QString& description, const QString& step) {
    return step.isEmpty() ? description : description + " [" + step + "]";
}

}  // namespace kiv::database
