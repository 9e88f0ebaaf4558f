// TObject and TPersistent: the roots of the class tree, with class names for messages and
// the copy convention (Assign asks the source to AssignTo when it does not know the class).
#pragma once

#include <functional>
#include <string>

namespace kovo {

class TObject {
  public:
    virtual ~TObject() = default;
    // The class name as written in the source, without the namespace ("TBitmap").
    std::string ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
  public:
    // Copies Source into this object. The default hands the work to Source->AssignTo and
    // raises EConvertError "Cannot assign a <source class> to a <this class>" when neither
    // side knows the other.
    virtual void Assign(TPersistent* Source);

  protected:
    virtual void AssignTo(TPersistent* Dest);

  private:
    void AssignError(TPersistent* Source);
};

}  // namespace kovo
