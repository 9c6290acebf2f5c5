// Renders the gallery form, one PNG per page, under the offscreen platform:
//   vcl-gallery [output-prefix]   (default "gallery": gallery-1.png, gallery-2.png)
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Gallery.h"
#include "Render.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::string prefix = argc > 1 ? argv[1] : "gallery";
    auto* form = vcl::TComponent::Create<vcl::TGalleryForm>(nullptr);
    form->Show();
    int failed = 0;
    for (int page = 0; page < form->PageControl1->PageCount(); ++page) {
        form->PageControl1->SetActivePageIndex(page);
        std::string file = prefix + "-" + std::to_string(page + 1) + ".png";
        if (vcl::RenderToPng(form, file)) {
            std::printf("%s\n", file.c_str());
        } else {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            ++failed;
        }
    }
    form->Free();
    return failed ? 1 : 0;
}
