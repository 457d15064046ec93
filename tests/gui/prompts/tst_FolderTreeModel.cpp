#include "gui/prompts/FolderTreeModel.h"
#include "support/DataRow.h"
#include "support/TestFiles.h"

#include <QAbstractItemModelTester>

class tst_FolderTreeModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<FolderTreeModel> m_model;
    QString path(const QString& name) const { return name.isEmpty() ? m_root->path() : m_root->filePath(name); }

    QStringList listed(const QModelIndex& parent) const
    {
        QStringList names;
        for (int row = 0; row < m_model->rowCount(parent); ++row)
            names << m_model->fileName(m_model->index(row, 0, parent));
        return names;
    }

private slots:
    // Three places over one temporary tree, the middle one without a path of
    // its own; a place whose folder is missing is left out. The tester checks
    // every change the listings report while they load and sort.
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        for (const char* folder : {"home/desk/b", "home/desk/a/deep", "home/desk/c", "home/other", "top", ".hidden"})
            QVERIFY(QDir().mkpath(path(folder)));
        QVERIFY(QFile(path("home/desk/file")).open(QIODevice::WriteOnly));
        m_model = std::make_unique<FolderTreeModel>();
        new QAbstractItemModelTester(m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     m_model.get());
        m_model->addPlace("Home", path("home"));
        m_model->addPlace("Desktop", path("home/desk"), false);
        m_model->addPlace("Missing", path("missing"));
        m_model->addPlace("Root", path(""));
    }

    // Files and hidden folders stay out; the folders come sorted by name.
    void placesListTheirSubfolders()
    {
        QCOMPARE(listed(QModelIndex()), QStringList({"Home", "Desktop", "Root"}));
        const QList<QStringList> expected{{"desk", "other"}, {"a", "b", "c"}, {"home", "top"}};
        for (int row = 0; row < 3; ++row) {
            m_model->fetchMore(m_model->index(row, 0));
            QTRY_COMPARE(listed(m_model->index(row, 0)), expected[row]);
        }
    }

    // Nodes held while a listing arrives, as a view holds its current folder,
    // still name their folders once the listing has been sorted.
    void heldNodesFollowTheSort()
    {
        QStringList names = QString("k d s a p f x b m h q c").split(u' ');
        for (const QString& name : names)
            QVERIFY(QDir().mkpath(path("top/many/" + name)));
        QList<std::pair<QPersistentModelIndex, QString>> held;
        connect(m_model.get(), &QAbstractItemModel::rowsInserted, this,
                [&](const QModelIndex& parent, int first, int last) {
                    for (int row = first; row <= last; ++row)
                        held.append({m_model->index(row, 0, parent), m_model->index(row, 0, parent).data().toString()});
                });
        const QModelIndex many = m_model->index(path("top/many"));
        m_model->fetchMore(many);
        names.sort();
        QTRY_COMPARE(listed(many), names);
        QVERIFY(held.size() >= names.size());
        for (const auto& [node, name] : std::as_const(held))
            QCOMPARE(m_model->fileName(node), name);
    }

    void pathsGoToTheClosestPlace_data()
    {
        QTest::addColumn<QString>("folder");   // below the temporary folder
        QTest::addColumn<QString>("place");    // the top-level node it is found under; empty: not found
        QTest::addColumn<QString>("name");     // as the tree shows it
        QTest::addColumn<QString>("filePath"); // below the temporary folder; empty: no path
        dataRow("on the desktop", "home/desk/a/deep", "Desktop", "deep", "home/desk/a/deep");
        dataRow("the desktop", "home/desk", "Desktop", "Desktop", "");
        dataRow("in home", "home/other/", "Home", "other", "home/other");
        dataRow("elsewhere", "top/../top", "Root", "top", "top");
        dataRow("not there", "home/none", "", "", "");
    }

    void pathsGoToTheClosestPlace()
    {
        QFETCH(QString, folder);
        QFETCH(QString, place);
        QFETCH(QString, name);
        QFETCH(QString, filePath);
        const QModelIndex node = m_model->index(path(folder));
        QCOMPARE(node.isValid(), !place.isEmpty());
        QModelIndex top = node;
        while (top.parent().isValid())
            top = top.parent();
        QCOMPARE(m_model->fileName(top) + u'|' + m_model->fileName(node), place + u'|' + name);
        QCOMPARE(m_model->filePath(node), filePath.isEmpty() ? QString() : path(filePath));
    }
};

QTEST_MAIN(tst_FolderTreeModel)
#include "tst_FolderTreeModel.moc"
