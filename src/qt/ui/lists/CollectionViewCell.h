#pragma once

#include <QPointer>
#include <QWidget>

namespace ovira {

class CollectionView;

// An item of a CollectionView, reused like a table's cells.
class CollectionViewCell : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    const QString& reuseIdentifier() const { return reuseIdentifier_; }
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected) { selected_ = selected; }
    virtual void prepareForReuse() {}

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class CollectionView;
    QString reuseIdentifier_;
    QPointer<QWidget> collection_;  // the CollectionView
    bool selected_ = false;
    bool pressed_ = false;
};

}  // namespace ovira
