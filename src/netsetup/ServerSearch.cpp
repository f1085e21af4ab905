#include "ServerSearch.h"
#include "Messages.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");

bool neverExpanded(const QString &image) {
    return image == QLatin1String("share") || image == QLatin1String("folder") || image == QLatin1String("printer");
}
} // namespace

void ServerSearch::addResource(const QString &parentKey, const NetResource &resource, bool placeholder) {
    const QString key = resource.RemoteName();
    if (!m_tree.add(parentKey, key, resource.ShortName(), resource.ResourceTypeName().toLower(), kNotLoaded))
        return;
    // The placeholder gives the node its expand button before anything below it is known.
    if (placeholder)
        m_tree.add(key, kFakePrefix + key, QStringLiteral("FAKE"), QStringLiteral("server"));
}

QStringList ServerSearch::find(const QString &shareName) {
    m_tree.clear();
    m_root = std::make_unique<NetResource>();
    m_tree.add(QString(), kRootKey, QStringLiteral("Entire Network"), QStringLiteral("root"), kLoaded);
    for (const auto &provider : m_root->Children())
        addResource(kRootKey, *provider, true);
    m_tree.markExpanded(kRootKey);

    // By position, with the count read anew each time: expanding adds nodes behind the walk,
    // and the placeholders it removes always lie behind the node being expanded.
    for (int i = 0; i < m_tree.count(); ++i) {
        const NetTree::Node node = m_tree.node(i);
        if (neverExpanded(node.image))
            continue;
        if (node.image == QLatin1String("network") && node.text != kSearchedProvider)
            continue;
        expand(node.key);
    }

    QStringList matches;
    for (int i = 0; i < m_tree.count(); ++i) {
        const NetTree::Node &node = m_tree.node(i);
        if (node.image != QLatin1String("share") || node.text != shareName)
            continue;
        const NetTree::Node *parent = m_tree.find(node.parentKey);
        matches << QStringLiteral("\\\\") + (parent ? parent->text : QString()) + QLatin1Char('\\') + node.text;
    }
    return matches;
}

NetResource *ServerSearch::resourceOf(const QString &key) {
    NetResource *r = m_root.get();
    for (const QString &k : m_tree.path(key)) {
        if (k == kRootKey)
            continue;
        r = r ? r->Children().Item(k) : nullptr;
    }
    return r;
}

void ServerSearch::expand(const QString &key) {
    const NetTree::Node *node = m_tree.find(key);
    if (!node)
        return;
    if (node->tag == kNotLoaded) {
        // Marked first: the window's expand of the new node must not load it a second time.
        m_tree.setTag(key, kLoaded);
        m_tree.remove(kFakePrefix + key);
        if (NetResource *resource = resourceOf(key)) {
            for (const auto &child : resource->Children())
                addResource(key, *child, !child->isPrinter());
        }
    }
    m_tree.markExpanded(key);
}

QString ServerSearch::notFoundMessage(const QString &shareName) {
    return QStringLiteral("네트워크상에서 서버를 찾을 수 없습니다.") + kCrLf +
           QStringLiteral("먼저, 서버 컴퓨터의 해당 프로그램 폴더를 읽기/쓰기권한으로 공유하세요.") + kCrLf + kCrLf +
           QStringLiteral("찾을 공유명:") + shareName;
}

QString ServerSearch::severalMessage(const QStringList &matches) {
    return QStringLiteral("네트워크상에 서버가 2개이상 존재합니다.") + kCrLf +
           QStringLiteral("사용하지 않는 서버는 공유를 제거해 주세요.") + kCrLf + kCrLf + QStringLiteral("서버목록") +
           kCrLf + QStringLiteral("=====================================") + kCrLf + matches.join(kCrLf);
}

QString ServerSearch::pick(const QStringList &matches, const QString &shareName) {
    if (matches.size() == 1)
        return matches.first();
    MsgInfo(matches.isEmpty() ? notFoundMessage(shareName) : severalMessage(matches));
    return {};
}
