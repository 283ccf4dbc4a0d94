// The rename window lives here once it is built.
namespace tidemark::ui {
int PlaceholderUnit() { return 0; }
}  // namespace tidemark::ui
