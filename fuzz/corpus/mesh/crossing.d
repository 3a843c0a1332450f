Named object: "crossing"
Tri-mesh, Vertices: 4     Faces: 4
Vertex list:
Vertex 0:  X:-300.000000     Y:0.000000     Z:-300.000000
Vertex 1:  X:300.000000     Y:0.000000     Z:-300.000000
Vertex 2:  X:0.000000     Y:0.000000     Z:300.000000
Vertex 3:  X:0.000000     Y:50.000000     Z:0.000000
Face list:
Face 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1
Face 1:    A:0 B:1 C:3 AB:1 BC:1 CA:1
Face 2:    A:1 B:2 C:3 AB:1 BC:1 CA:1
Face 3:    A:2 B:0 C:3 AB:1 BC:1 CA:1
