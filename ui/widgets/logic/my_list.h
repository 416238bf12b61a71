// A small doubly linked list of data pointers, used for the item data of the tree and the
// item sets of the combo buttons.
//
// In owning mode the list owns its data: removing a node first hands the data to the
// release callback (so that the data can let go of what it holds itself) and then deletes
// it. In linking mode the list only links the data, which stays with the caller.
#pragma once

#include <cstddef>
#include <functional>
#include <new>

namespace vantor {

enum class ListOwnership : int {
    kOwnsData = 16,
    kLinksData = 17,
};

template <typename T>
class CMyList {
  public:
    struct Node {
        T* data = nullptr;
        Node* next = nullptr;
        Node* prev = nullptr;
    };
    using ReleaseCallback = std::function<void(T&)>;

    explicit CMyList(ListOwnership mode = ListOwnership::kOwnsData, ReleaseCallback release = {})
        : mode_(mode), release_(std::move(release)) {}
    ~CMyList() { Clear(); }
    CMyList(const CMyList&) = delete;
    CMyList& operator=(const CMyList&) = delete;

    // Appends `data` at the tail. Returns the new node, or null when no memory is left; the
    // data then stays with the caller even in owning mode.
    Node* Append(T* data) {
        Node* node = new (std::nothrow) Node{data, nullptr, tail_};
        if (node == nullptr) return nullptr;
        if (tail_ != nullptr) {
            tail_->next = node;
        } else {
            head_ = node;
        }
        tail_ = node;
        ++count_;
        return node;
    }

    // Unlinks `node` (which must belong to this list) and, in owning mode, releases its data.
    void Remove(Node* node) {
        if (node == nullptr) return;
        if (node->prev != nullptr) {
            node->prev->next = node->next;
        } else {
            head_ = node->next;
        }
        if (node->next != nullptr) {
            node->next->prev = node->prev;
        } else {
            tail_ = node->prev;
        }
        --count_;
        ReleaseData(node->data);
        delete node;
    }

    // Removes every node from the head on.
    void Clear() {
        while (head_ != nullptr) Remove(head_);
    }

    // The first node whose data is `data`, or null.
    Node* Find(const T* data) const {
        for (Node* node = head_; node != nullptr; node = node->next) {
            if (node->data == data) return node;
        }
        return nullptr;
    }

    ListOwnership Mode() const { return mode_; }
    std::size_t Count() const { return count_; }
    Node* Head() const { return head_; }
    Node* Tail() const { return tail_; }

  private:
    void ReleaseData(T* data) {
        if (mode_ != ListOwnership::kOwnsData || data == nullptr) return;
        if (release_) release_(*data);
        delete data;
    }

    ListOwnership mode_;
    std::size_t count_ = 0;
    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    ReleaseCallback release_;
};

}  // namespace vantor
