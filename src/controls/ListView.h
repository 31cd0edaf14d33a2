#pragma once

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/Control.h"

namespace ondrevan {

struct ListColumn {
    std::string heading;
    int widthTwips = 0;
};

// A report-style list of texts. Indexes here are 0-based.
class ListView : public Control {
  public:
    explicit ListView(std::string name) : Control(ControlKind::ListView, std::move(name)) {}

    const std::vector<ListColumn>& Columns() const { return columns_; }
    void AddColumn(ListColumn column) {
        columns_.push_back(std::move(column));
        Notify(Property::Columns);
    }
    void SetColumnWidth(std::size_t index, int widthTwips) {
        columns_.at(index).widthTwips = widthTwips;
        Notify(Property::Columns);
    }

    std::size_t Count() const { return items_.size(); }
    const std::string& Item(std::size_t index) const { return items_.at(index); }
    const std::vector<std::string>& Items() const { return items_; }

    void Add(std::string text) {
        items_.push_back(std::move(text));
        Notify(Property::Items);
    }
    // Appends many entries with one notification, so a long list shows at once.
    void AddRange(std::vector<std::string> texts) {
        if (texts.empty()) return;
        items_.insert(items_.end(), std::make_move_iterator(texts.begin()),
                      std::make_move_iterator(texts.end()));
        Notify(Property::Items);
    }
    void RemoveAt(std::size_t index);
    // Puts an entry back at a place, or last when the list is shorter.
    void InsertAt(std::size_t index, std::string text) {
        index = std::min(index, items_.size());
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(text));
        if (selected_ && *selected_ >= index) ++*selected_;
        Notify(Property::Items);
    }
    void Clear() {
        items_.clear();
        selected_.reset();
        Notify(Property::Items);
    }

    std::optional<std::size_t> Selected() const { return selected_; }
    void Select(std::optional<std::size_t> index) {
        if (index && *index >= items_.size()) index.reset();
        selected_ = index;
        Notify(Property::Selection);
    }

    // The shell reports a selection the user made, without echoing it back.
    void SelectionChangedByUser(std::optional<std::size_t> index) { selected_ = index; }

    // A second column's text for an entry, worked out from its text as it shows.
    void SetDetail(std::function<std::string(const std::string&)> detail) {
        detail_ = std::move(detail);
        Notify(Property::Items);
    }
    std::string Detail(std::size_t index) const {
        return detail_ && index < items_.size() ? detail_(items_[index]) : std::string();
    }
    // Leaves the first `count` columns.
    void KeepColumns(std::size_t count) {
        if (columns_.size() <= count) return;
        columns_.resize(count);
        Notify(Property::Columns);
    }

    Event<> DblClick;

  private:
    std::function<std::string(const std::string&)> detail_;
    std::vector<ListColumn> columns_;
    std::vector<std::string> items_;
    std::optional<std::size_t> selected_;
};

inline void ListView::RemoveAt(std::size_t index) {
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    if (selected_ == index)
        selected_.reset();
    else if (selected_ && *selected_ > index)
        --*selected_;
    Notify(Property::Items);
}

}  // namespace ondrevan
