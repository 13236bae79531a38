#include "TestBase.h"

#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>

#include "store/Connection.h"
#include "store/Schema.h"

namespace kiv::test {

TestBase::TestBase() : m_base(m_dir.path() + "/base") {
    QString error;
    if (!kiv::store::initDatabase(m_base, &error)) {
        ADD_FAILURE() << "cannot create the test database: " << error.toStdString();
    }
}

namespace {
QSqlQuery runRaw(kiv::store::Connection& c, const QString& sql, const QVariantList& values) {
    QSqlQuery q(c.database());
    if (!q.prepare(sql)) {
        ADD_FAILURE() << "prepare failed: " << q.lastError().text().toStdString() << " in "
                      << sql.toStdString();
        return q;
    }
    for (int i = 0; i < values.size(); ++i) {
        q.bindValue(i, values[i]);
    }
    if (!q.exec()) {
        ADD_FAILURE() << "exec failed: " << q.lastError().text().toStdString() << " in "
                      << sql.toStdString();
    }
    return q;
}
}  // namespace

void TestBase::exec(const QString& sql, const QVariantList& values) const {
    kiv::store::Connection c(m_base);
    runRaw(c, sql, values);
}

QVariantList TestBase::column(const QString& sql, const QVariantList& values) const {
    kiv::store::Connection c(m_base);
    QVariantList out;
    {
        QSqlQuery q = runRaw(c, sql, values);
        while (q.next()) {
            out.push_back(q.value(0));
        }
    }
    return out;
}

QVariant TestBase::scalar(const QString& sql, const QVariantList& values) const {
    const QVariantList c = column(sql, values);
    return c.isEmpty() ? QVariant() : c.front();
}

void TestBase::addGroup(int id, const QVariant& name) const {
    exec("INSERT INTO KIV6_Group (GrpID, GrpName) VALUES (?, ?)", {id, name});
}

void TestBase::addHeader(const QString& isoDate, int group, int payStas) const {
    exec("INSERT INTO KIV10_Agency (TranDay, Grpid, PayStas) VALUES (?, ?, ?)",
         {isoDate, group, payStas});
}

}  // namespace kiv::test
