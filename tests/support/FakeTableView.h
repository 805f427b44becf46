#pragma once

#include "model/VeskTableView.h"

/// A table view for tests: a selection to set and counts of what the store asked.
class FakeTableView : public VeskTableView {
public:
    explicit FakeTableView(QString identifier)
        : m_identifier(std::move(identifier))
    {
    }

    QString identifier() const override { return m_identifier; }
    void reloadData() override { ++reloads; }
    std::vector<uint64_t> selectedRows() const override { return selection; }
    int64_t selectedRow() const override { return selection.empty() ? -1 : int64_t(selection.front()); }
    int64_t clickedRow() const override { return clicked; }
    void deselectAll() override { selection.clear(); }
    void setLastitem(const VeskItemRef &item) override { lastitem = item; }
    void updatePreviewWith(const VeskItemRef &item) override { previewed = item; }

    std::vector<uint64_t> selection;
    int64_t clicked = -1;
    int reloads = 0;
    VeskItemRef lastitem;
    VeskItemRef previewed;

private:
    QString m_identifier;
};
