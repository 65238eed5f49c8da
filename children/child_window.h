// The add window of the child name page: the child's family and given name, sex and birthday,
// with the add and cancel picture buttons. The page reads the boxes when add is pressed.
#pragma once

#include <QWidget>
#include <memory>

#include "ui/image_widgets.h"

class QComboBox;
class QLineEdit;

namespace torvane {

class CChildWnd : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kControlId = 107;
    static constexpr int kAddId = 200;
    static constexpr int kCancelId = 300;

    // Hidden at first; the lists start at "남", the earliest of the last thirteen years, 1 and 1.
    explicit CChildWnd(QWidget* parent);
    ~CChildWnd() override;

    QLineEdit* FamilyNameEdit() const { return familyName_; }
    QLineEdit* GivenNameEdit() const { return givenName_; }
    QComboBox* SexList() const { return sex_; }
    QComboBox* YearList() const { return year_; }
    QComboBox* MonthList() const { return month_; }
    QComboBox* DayList() const { return day_; }
    CImgButton* AddButton() const { return add_.get(); }
    CImgButton* CancelButton() const { return cancel_.get(); }

    bool IsBoy() const;
    // "YYYY-MM-DD" of the three lists.
    std::string Birthday() const;

  Q_SIGNALS:
    void addClicked();
    void cancelClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QLineEdit* familyName_;
    QLineEdit* givenName_;
    QComboBox* sex_;
    QComboBox* year_;
    QComboBox* month_;
    QComboBox* day_;
    std::unique_ptr<CImgButton> add_;
    std::unique_ptr<CImgButton> cancel_;
};

}  // namespace torvane
