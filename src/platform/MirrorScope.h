#pragma once
// For the native views: while a view mirrors the form's state onto its widgets, the widgets'
// notifications come from the view itself and must not be taken for the user's.

namespace tamberlyn {

// Counts the view's own changes in progress; depth > 0 while any runs, nested ones too.
class MirrorScope {
public:
    explicit MirrorScope(int& depth) : depth_(depth) { ++depth_; }
    ~MirrorScope() { --depth_; }
    MirrorScope(const MirrorScope&) = delete;
    MirrorScope& operator=(const MirrorScope&) = delete;

private:
    int& depth_;
};

}  // namespace tamberlyn
