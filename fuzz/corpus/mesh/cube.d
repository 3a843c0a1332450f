Named object: "cube"
Tri-mesh, Vertices: 8     Faces: 12
Vertex list:
Vertex 0:  X:-20.000000     Y:-20.000000     Z:-20.000000
Vertex 1:  X:20.000000     Y:-20.000000     Z:-20.000000
Vertex 2:  X:-20.000000     Y:20.000000     Z:-20.000000
Vertex 3:  X:20.000000     Y:20.000000     Z:-20.000000
Vertex 4:  X:-20.000000     Y:-20.000000     Z:20.000000
Vertex 5:  X:20.000000     Y:-20.000000     Z:20.000000
Vertex 6:  X:-20.000000     Y:20.000000     Z:20.000000
Vertex 7:  X:20.000000     Y:20.000000     Z:20.000000
Face list:
Face 0:    A:0 B:2 C:3 AB:1 BC:1 CA:1
Face 1:    A:0 B:3 C:1 AB:1 BC:1 CA:1
Face 2:    A:4 B:5 C:7 AB:1 BC:1 CA:1
Face 3:    A:4 B:7 C:6 AB:1 BC:1 CA:1
Face 4:    A:0 B:1 C:5 AB:1 BC:1 CA:1
Face 5:    A:0 B:5 C:4 AB:1 BC:1 CA:1
Face 6:    A:2 B:6 C:7 AB:1 BC:1 CA:1
Face 7:    A:2 B:7 C:3 AB:1 BC:1 CA:1
Face 8:    A:0 B:4 C:6 AB:1 BC:1 CA:1
Face 9:    A:0 B:6 C:2 AB:1 BC:1 CA:1
Face 10:    A:1 B:3 C:7 AB:1 BC:1 CA:1
Face 11:    A:1 B:7 C:5 AB:1 BC:1 CA:1
