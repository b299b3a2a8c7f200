// Anchor of the render library; the painters and office writers live beside it.
namespace korvane::render {
int RenderLibraryVersion() { return 1; }
}  // namespace korvane::render
