#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;
class QTreeView;

namespace talvex {

class Line;
class TrafficLogFilter;
class TrafficLogModel;

/// The modeless window "通訊記錄": every byte the station sends to and receives from
/// the controller, an entry a line or a burst, with its time and direction. "暫停"
/// stops adding entries (the line goes on as before), "清除" empties the log,
/// "隱藏狀態查詢" hides the status polls and their answers (they stay in the log), and
/// "存檔..." writes the shown log as UTF-8 text.
class TrafficLogWindow : public QWidget
{
    Q_OBJECT

public:
    /// Watches @p link's traffic for as long as the window exists.
    /// Shows @p model, which the station keeps listening from its start; without one
    /// the window keeps its own, from the moment it opens.
    explicit TrafficLogWindow(Line &line, TrafficLogModel *model = nullptr, QWidget *parent = nullptr);
    ~TrafficLogWindow() override;

    TrafficLogModel &model() const { return *m_model; }
    QTreeView *view() const { return m_view; }
    QCheckBox *hidePollsBox() const { return m_hidePolls; }
    QPushButton *pauseButton() const { return m_pause; }
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *saveButton() const { return m_save; }

    static QString fileFilter();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void initConnections();
    void save();

    Line &m_link;
    TrafficLogModel *m_model = nullptr;
    /// The model is the window's own and listens only while it is open.
    bool m_ownModel = false;
    TrafficLogFilter *m_filter = nullptr;
    QTreeView *m_view = nullptr;
    QCheckBox *m_hidePolls = nullptr;
    QPushButton *m_pause = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_save = nullptr;
    /// The view stood at its last entry before new ones came: it follows them.
    bool m_following = true;
};

} // namespace talvex
