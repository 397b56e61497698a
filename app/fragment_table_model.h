// The fragment list view's model: adapts the rows of FragmentViewModel to the list widget with
// a check box and an image per row and colours by row position. The widget asks only for the
// rows it draws, so a list of millions of fragments costs no widget item per row.
#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QStringList>

#include <string>
#include <vector>

#include "catalogue/fragment_view_model.h"
#include "scan/fragment_list.h"

namespace vorthal {

// What the scan did to the FragmentList, in order: a line appended, or the last line removed.
struct FragmentRowEvent {
    bool removeLast = false;
    std::string line; // the appended line
};

class FragmentTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    FragmentTableModel(const QStringList& captions, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const FragmentViewModel& Rows() const { return rows_; }

    // FillFragmentView.
    void Fill(const FragmentList& fragments);
    // Mirrors what a scan did to the FragmentList.
    void Apply(const std::vector<FragmentRowEvent>& events);
    void SortByColumn(int column);
    void TickAll();
    void ClearTicks();
    void InvertTicks();

  private:
    void AppendLines(const std::vector<FragmentRowEvent>& events, std::size_t first, std::size_t end);
    void RemoveLastLine();
    void TicksChanged();

    QStringList captions_;
    FragmentViewModel rows_;
    // Rows the widget knows of: appended rows are announced to it after they are in place.
    int shownRows_ = 0;
    QPixmap headerPageImage_; // image 1: the fragment begins with page 0
    QPixmap pageImage_;       // image 0: any other fragment
};

} // namespace vorthal
