#include "ui/widgets/skin_preload.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "ui/widgets/skin.h"

namespace vantor {
namespace {

class Preloader {
  public:
    ~Preloader() {
        if (worker_.joinable()) worker_.join();
    }

    void Start(std::vector<QString> paths) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!pending_.empty()) return;
        if (worker_.joinable()) worker_.join();  // finished: it has nothing left pending
        pending_.insert(paths.begin(), paths.end());
        worker_ = std::thread([this, paths = std::move(paths)] {
            for (const QString& path : paths) {
                QImage picture = DecodeSkinPicture(path);
                std::lock_guard<std::mutex> hold(mutex_);
                ready_[path] = std::move(picture);
                pending_.erase(path);
                decoded_.notify_all();
            }
        });
    }

    std::optional<QImage> Take(const QString& path) {
        std::unique_lock<std::mutex> lock(mutex_);
        decoded_.wait(lock, [&] { return pending_.count(path) == 0; });
        const auto found = ready_.find(path);
        if (found == ready_.end()) return std::nullopt;
        QImage picture = std::move(found->second);
        ready_.erase(found);
        return picture;
    }

    void Drop() {
        std::unique_lock<std::mutex> lock(mutex_);
        decoded_.wait(lock, [&] { return pending_.empty(); });
        ready_.clear();
    }

  private:
    std::mutex mutex_;
    std::condition_variable decoded_;
    std::set<QString> pending_;
    std::map<QString, QImage> ready_;
    std::thread worker_;
};

Preloader& ThePreloader() {
    static Preloader preloader;
    return preloader;
}

}  // namespace

void PreloadSkinPictures(std::vector<QString> paths) {
    ThePreloader().Start(std::move(paths));
}

std::optional<QImage> TakePreloadedSkinPicture(const QString& path) {
    return ThePreloader().Take(path);
}

void DropPreloadedSkinPictures() {
    ThePreloader().Drop();
}

}  // namespace vantor
