// Loads an IGES file with Open CASCADE's reader and transfers every root
// entity, for the IGES output tests. Prints one line:
//   entities <in the model> roots <for transfer> shapes <transferred> fails <0/1>
// Exit code 0 when the file was read, 1 otherwise. The reader's load check
// messages go to standard error.
#include <IFSelect_PrintCount.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <IGESControl_Reader.hxx>
#include <IGESData_IGESModel.hxx>
#include <Interface_CheckIterator.hxx>
#include <XSControl_WorkSession.hxx>

#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: igesload file.igs\n");
    return 2;
  }
  IGESControl_Reader reader;
  if (reader.ReadFile(argv[1]) != IFSelect_RetDone) {
    std::printf("read failed\n");
    return 1;
  }
  Handle(IGESData_IGESModel) model = reader.IGESModel();
  int entities = model.IsNull() ? 0 : model->NbEntities();
  bool fails = !reader.WS()->ModelCheckList().IsEmpty(Standard_True);
  reader.PrintCheckLoad(std::cerr, Standard_True, IFSelect_ItemsByEntity);
  int roots = reader.NbRootsForTransfer();
  reader.TransferRoots();
  int shapes = reader.NbShapes();
  reader.PrintCheckTransfer(std::cerr, Standard_True, IFSelect_ItemsByEntity);
  std::printf("entities %d roots %d shapes %d fails %d\n", entities, roots, shapes, fails ? 1 : 0);
  return 0;
}
