//Maya ASCII 2018 scene
//Name: demo_scene.ma
//Codeset: UTF-8
// A small scene written for the importer's demo: a pivoted hierarchy, a camera,
// a Lambert and a Blinn with a file texture, a display layer, a hidden object,
// a history cube, a stored mesh placed twice (an instance) and a mesh with two
// materials on its faces.
requires maya "2018";
currentUnit -l centimeter -a degree -t film;
fileInfo "application" "maya";
fileInfo "product" "Maya 2018";
fileInfo "version" "2018";
createNode transform -s -n "persp";
	setAttr ".v" no;
	setAttr ".t" -type "double3" 420 310 420 ;
	setAttr ".r" -type "double3" -27.938352729602325 45 0 ;
createNode camera -s -n "perspShape" -p "persp";
	setAttr -k off ".v" no;
	setAttr ".fl" 34.999999999999993;
	setAttr ".coi" 660;
	setAttr ".imn" -type "string" "persp";
	setAttr ".den" -type "string" "persp_depth";
	setAttr ".man" -type "string" "persp_mask";
	setAttr ".hc" -type "string" "viewSet -p %camera";
createNode transform -s -n "top";
	setAttr ".v" no;
	setAttr ".t" -type "double3" 0 1000.1 0 ;
	setAttr ".r" -type "double3" -89.999999999999986 0 0 ;
createNode camera -s -n "topShape" -p "top";
	setAttr -k off ".v" no;
	setAttr ".rnd" no;
	setAttr ".coi" 1000.1;
	setAttr ".ow" 30;
	setAttr ".imn" -type "string" "top";
	setAttr ".o" yes;
createNode transform -s -n "front";
	setAttr ".v" no;
	setAttr ".t" -type "double3" 0 0 1000.1 ;
createNode camera -s -n "frontShape" -p "front";
	setAttr -k off ".v" no;
	setAttr ".rnd" no;
	setAttr ".coi" 1000.1;
	setAttr ".ow" 30;
	setAttr ".imn" -type "string" "front";
	setAttr ".o" yes;
createNode transform -s -n "side";
	setAttr ".v" no;
	setAttr ".t" -type "double3" 1000.1 0 0 ;
	setAttr ".r" -type "double3" 0 89.999999999999986 0 ;
createNode camera -s -n "sideShape" -p "side";
	setAttr -k off ".v" no;
	setAttr ".rnd" no;
	setAttr ".coi" 1000.1;
	setAttr ".ow" 30;
	setAttr ".imn" -type "string" "side";
	setAttr ".o" yes;
createNode transform -n "shotCam";
	setAttr ".t" -type "double3" 0 150 600 ;
	setAttr ".r" -type "double3" -12 0 0 ;
createNode camera -n "shotCamShape" -p "shotCam";
	setAttr -k off ".v";
	setAttr ".fl" 50;
	setAttr ".ncp" 1;
	setAttr ".fcp" 10000;
	setAttr ".coi" 600;
	setAttr ".imn" -type "string" "shotCam";
	setAttr ".den" -type "string" "shotCam_depth";
	setAttr ".man" -type "string" "shotCam_mask";
createNode transform -n "table";
	setAttr ".t" -type "double3" 0 40 0 ;
	setAttr ".r" -type "double3" 0 30 0 ;
	setAttr ".s" -type "double3" 1.5 1 1 ;
	setAttr ".rp" -type "double3" 50 0 0 ;
	setAttr ".sp" -type "double3" 50 0 0 ;
createNode transform -n "box" -p "table";
	setAttr ".t" -type "double3" 0 20 0 ;
	setAttr ".r" -type "double3" 0 0 15 ;
	setAttr ".rp" -type "double3" 0 -20 0 ;
	setAttr ".sp" -type "double3" 0 -20 0 ;
createNode mesh -n "boxShape" -p "box";
	setAttr -k off ".v";
	setAttr ".vir" yes;
	setAttr ".vif" yes;
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr ".cuvs" -type "string" "map1";
	setAttr ".dcc" -type "string" "Ambient+Diffuse";
	setAttr ".covm[0]"  0 1 1;
	setAttr ".cdvm[0]"  0 1 1;
createNode transform -n "crate";
	setAttr ".t" -type "double3" -150 25 0 ;
	setAttr ".s" -type "double3" 50 50 50 ;
createNode mesh -n "crateShape" -p "crate";
	setAttr -k off ".v";
	setAttr ".vir" yes;
	setAttr ".vif" yes;
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr -s 14 ".uvst[0].uvsp[0:13]" -type "float2" 0.375 0 0.625 0 0.375
		 0.25 0.625 0.25 0.375 0.5 0.625 0.5 0.375 0.75 0.625 0.75 0.375 1 0.625 1 0.875 0
		 0.875 0.25 0.125 0 0.125 0.25;
	setAttr ".cuvs" -type "string" "map1";
	setAttr ".dcc" -type "string" "Ambient+Diffuse";
	setAttr ".covm[0]"  0 1 1;
	setAttr ".cdvm[0]"  0 1 1;
	setAttr -s 8 ".vt[0:7]"  -0.5 -0.5 0.5 0.5 -0.5 0.5 -0.5 0.5 0.5 0.5 0.5 0.5
		 -0.5 0.5 -0.5 0.5 0.5 -0.5 -0.5 -0.5 -0.5 0.5 -0.5 -0.5;
	setAttr -s 12 ".ed[0:11]"  0 1 0 2 3 0 4 5 0 6 7 0 0 2 0 1 3 0 2 4 0
		 3 5 0 4 6 0 5 7 0 6 0 0 7 1 0;
	setAttr -s 6 -ch 24 ".fc[0:5]" -type "polyFaces" 
		f 4 0 5 -2 -5
		mu 0 4 0 1 3 2
		f 4 1 7 -3 -7
		mu 0 4 2 3 5 4
		f 4 2 9 -4 -9
		mu 0 4 4 5 7 6
		f 4 3 11 -1 -11
		mu 0 4 6 7 9 8
		f 4 -12 -10 -8 -6
		mu 0 4 1 10 11 3
		f 4 10 4 6 8
		mu 0 4 12 0 2 13;
	setAttr ".cd" -type "dataPolyComponent" Index_Data Edge 0 ;
	setAttr ".cvd" -type "dataPolyComponent" Index_Data Vertex 0 ;
	setAttr ".pd[0]" -type "dataPolyComponent" Index_Data UV 0 ;
	setAttr ".hfd" -type "dataPolyComponent" Index_Data Face 0 ;
createNode transform -n "crateCopy";
	setAttr ".t" -type "double3" -150 25 -120 ;
	setAttr ".r" -type "double3" 0 45 0 ;
	setAttr ".s" -type "double3" 40 40 40 ;
parent -s -nc -r -add "|crate|crateShape" "crateCopy";
createNode transform -n "twoTone";
	setAttr ".t" -type "double3" 150 0 0 ;
createNode mesh -n "twoToneShape" -p "twoTone";
	setAttr -k off ".v";
	setAttr -s 2 ".iog[0].og";
	setAttr ".iog[0].og[0].gcl" -type "componentList" 1 "f[0]";
	setAttr ".iog[0].og[1].gcl" -type "componentList" 1 "f[1]";
	setAttr ".vir" yes;
	setAttr ".vif" yes;
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr ".cuvs" -type "string" "map1";
	setAttr ".dcc" -type "string" "Ambient+Diffuse";
	setAttr ".covm[0]"  0 1 1;
	setAttr ".cdvm[0]"  0 1 1;
createNode transform -n "hiddenBall";
	setAttr ".v" no;
	setAttr ".t" -type "double3" 0 30 -150 ;
createNode mesh -n "hiddenBallShape" -p "hiddenBall";
	setAttr -k off ".v";
	setAttr ".vir" yes;
	setAttr ".vif" yes;
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr ".cuvs" -type "string" "map1";
createNode transform -n "sign";
	setAttr ".t" -type "double3" 0 3 -4 ;
	setAttr ".r" -type "double3" 70 0 0 ;
createNode nurbsSurface -n "signShape" -p "sign";
	setAttr -k off ".v";
	setAttr ".cc" -type "nurbsSurface" 3 3 0 0 no 
		6 0 0 0 1 1 1
		6 0 0 0 1 1 1
		
		16
		-3 0.000000 3
		-3 0.000000 1
		-3 -0.000000 -1
		-3 -0.000000 -3
		-1 0.578135 3
		-1 0.262240 1
		-1 -0.340233 -1
		-1 -0.570897 -3
		1 0.309301 3
		1 0.140298 1
		1 -0.182024 -1
		1 -0.305428 -3
		3 -0.412660 3
		3 -0.187181 1
		3 0.242851 -1
		3 0.407493 -3
		
		;
	setAttr ".tf[0]" -type "nurbsTrimface" no 2
		0 4
		0 0 0 0 
		0
		0.0001 1 -1
		1
		1 1 0 no 2
		2 0 1
		2
		0 0 1 0
		1 0.0001
		0
		0.0001 1 -1
		1
		1 1 0 no 2
		2 1 2
		2
		1 0 1 1
		1 0.0001
		0
		0.0001 1 -1
		1
		1 1 0 no 2
		2 2 3
		2
		1 1 0 1
		1 0.0001
		0
		0.0001 1 -1
		1
		1 1 0 no 2
		2 3 4
		2
		0 1 0 0
		1 0.0001
		1 1
		0 
		0
		0.0001 1 -1
		1
		2 1 0 yes 2
		10 0 0 1 1 2 2 3 3 4 4
		9
		0.75 0.5 1 0.75 0.75 0.70710678118654757 0.5 0.75 1 0.25 0.75 0.70710678118654757 0.25 0.5 1 0.25 0.25 0.70710678118654757 0.5 0.25 1 0.75 0.25 0.70710678118654757 0.75 0.5 1
		1 0.0001
		;
createNode transform -n "globe";
	setAttr ".t" -type "double3" 3 1 2 ;
createNode nurbsSurface -n "globeShape" -p "globe";
	setAttr -k off ".v";
createNode makeNurbSphere -n "makeNurbSphere1";
	setAttr ".ax" -type "double3" 0 1 0 ;
createNode lightLinker -s -n "lightLinker1";
	setAttr -s 4 ".lnk";
	setAttr -s 4 ".slnk";
createNode displayLayerManager -n "layerManager";
	setAttr ".cdl" 1;
	setAttr -s 2 ".dli[1]"  1;
	setAttr -s 2 ".dli";
createNode displayLayer -n "defaultLayer";
createNode displayLayer -n "propsLayer";
	setAttr ".dt" 2;
	setAttr ".do" 1;
createNode renderLayerManager -n "renderLayerManager";
createNode renderLayer -n "defaultRenderLayer";
	setAttr ".g" yes;
createNode polyCube -n "polyCube1";
	setAttr ".w" 40;
	setAttr ".h" 40;
	setAttr ".d" 40;
	setAttr ".cuv" 4;
createNode polyPlane -n "polyPlane1";
	setAttr ".w" 120;
	setAttr ".h" 60;
	setAttr ".sw" 2;
	setAttr ".sh" 1;
	setAttr ".cuv" 2;
createNode groupId -n "groupId1";
	setAttr ".ihi" 0;
createNode groupParts -n "groupParts1";
	setAttr ".ihi" 0;
	setAttr ".ic" -type "componentList" 1 "f[0]";
createNode groupId -n "groupId2";
	setAttr ".ihi" 0;
createNode groupParts -n "groupParts2";
	setAttr ".ihi" 0;
	setAttr ".ic" -type "componentList" 1 "f[1]";
createNode polySphere -n "polySphere1";
	setAttr ".r" 30;
createNode lambert -n "redLambert";
	setAttr ".c" -type "float3" 0.80000001 0.1 0.1 ;
	setAttr ".dc" 0.89999998;
createNode shadingEngine -n "redLambertSG";
	setAttr ".ihi" 0;
	setAttr ".ro" yes;
createNode materialInfo -n "materialInfo1";
createNode blinn -n "woodBlinn";
	setAttr ".sc" -type "float3" 0.30000001 0.30000001 0.30000001 ;
	setAttr ".it" -type "float3" 0.2 0.2 0.2 ;
createNode shadingEngine -n "woodBlinnSG";
	setAttr ".ihi" 0;
	setAttr ".ro" yes;
createNode materialInfo -n "materialInfo2";
createNode file -n "woodFile";
	setAttr ".ftn" -type "string" "textures/wood.png";
createNode place2dTexture -n "place2dTexture1";
	setAttr ".tf" -type "float2" 0.25 0.5 ;
	setAttr ".rf" 45;
select -ne :time1;
	setAttr ".o" 1;
	setAttr ".unw" 1;
select -ne :renderPartition;
	setAttr -s 4 ".st";
select -ne :renderGlobalsList1;
select -ne :defaultShaderList1;
	setAttr -s 5 ".s";
select -ne :defaultTextureList1;
select -ne :defaultRenderUtilityList1;
select -ne :defaultRenderingList1;
select -ne :initialShadingGroup;
	setAttr -s 2 ".dsm";
	setAttr ".ro" yes;
select -ne :initialParticleSE;
	setAttr ".ro" yes;
select -ne :defaultResolution;
	setAttr ".pa" 1;
select -ne :hardwareRenderGlobals;
	setAttr ".ctrs" 256;
	setAttr ".btrs" 512;
connectAttr "polyCube1.out" "boxShape.i";
connectAttr "groupParts2.og" "twoToneShape.i";
connectAttr "groupId1.id" "twoToneShape.iog.og[0].gid";
connectAttr "redLambertSG.mwc" "twoToneShape.iog.og[0].gco";
connectAttr "groupId2.id" "twoToneShape.iog.og[1].gid";
connectAttr "woodBlinnSG.mwc" "twoToneShape.iog.og[1].gco";
connectAttr "polyPlane1.out" "groupParts1.ig";
connectAttr "groupId1.id" "groupParts1.gi";
connectAttr "groupParts1.og" "groupParts2.ig";
connectAttr "groupId2.id" "groupParts2.gi";
connectAttr "polySphere1.out" "hiddenBallShape.i";
relationship "link" ":lightLinker1" ":initialShadingGroup.message" ":defaultLightSet.message";
relationship "link" ":lightLinker1" ":initialParticleSE.message" ":defaultLightSet.message";
relationship "link" ":lightLinker1" "redLambertSG.message" ":defaultLightSet.message";
relationship "link" ":lightLinker1" "woodBlinnSG.message" ":defaultLightSet.message";
relationship "shadowLink" ":lightLinker1" ":initialShadingGroup.message" ":defaultLightSet.message";
relationship "shadowLink" ":lightLinker1" ":initialParticleSE.message" ":defaultLightSet.message";
relationship "shadowLink" ":lightLinker1" "redLambertSG.message" ":defaultLightSet.message";
relationship "shadowLink" ":lightLinker1" "woodBlinnSG.message" ":defaultLightSet.message";
connectAttr "layerManager.dli[0]" "defaultLayer.id";
connectAttr "layerManager.dli[1]" "propsLayer.id";
connectAttr "propsLayer.di" "crate.do";
connectAttr "renderLayerManager.rlmi[0]" "defaultRenderLayer.rlid";
connectAttr "redLambert.oc" "redLambertSG.ss";
connectAttr "boxShape.iog" "redLambertSG.dsm" -na;
connectAttr "twoToneShape.iog.og[0]" "redLambertSG.dsm" -na;
connectAttr "groupId1.msg" "redLambertSG.gn" -na;
connectAttr "redLambertSG.msg" "materialInfo1.sg";
connectAttr "redLambert.msg" "materialInfo1.m";
connectAttr "woodFile.oc" "woodBlinn.c";
connectAttr "woodBlinn.oc" "woodBlinnSG.ss";
connectAttr "crateShape.iog" "woodBlinnSG.dsm" -na;
connectAttr "crateShape.iog[1]" "woodBlinnSG.dsm" -na;
connectAttr "twoToneShape.iog.og[1]" "woodBlinnSG.dsm" -na;
connectAttr "groupId2.msg" "woodBlinnSG.gn" -na;
connectAttr "woodBlinnSG.msg" "materialInfo2.sg";
connectAttr "woodBlinn.msg" "materialInfo2.m";
connectAttr "woodFile.msg" "materialInfo2.t" -na;
connectAttr "place2dTexture1.c" "woodFile.c";
connectAttr "place2dTexture1.tf" "woodFile.tf";
connectAttr "place2dTexture1.rf" "woodFile.rf";
connectAttr "place2dTexture1.mu" "woodFile.mu";
connectAttr "place2dTexture1.mv" "woodFile.mv";
connectAttr "place2dTexture1.s" "woodFile.s";
connectAttr "place2dTexture1.wu" "woodFile.wu";
connectAttr "place2dTexture1.wv" "woodFile.wv";
connectAttr "place2dTexture1.re" "woodFile.re";
connectAttr "place2dTexture1.of" "woodFile.of";
connectAttr "place2dTexture1.r" "woodFile.ro";
connectAttr "place2dTexture1.n" "woodFile.n";
connectAttr "place2dTexture1.vt1" "woodFile.vt1";
connectAttr "place2dTexture1.vt2" "woodFile.vt2";
connectAttr "place2dTexture1.vt3" "woodFile.vt3";
connectAttr "place2dTexture1.vc1" "woodFile.vc1";
connectAttr "place2dTexture1.o" "woodFile.uv";
connectAttr "place2dTexture1.ofs" "woodFile.fs";
connectAttr "redLambertSG.pa" ":renderPartition.st" -na;
connectAttr "woodBlinnSG.pa" ":renderPartition.st" -na;
connectAttr "redLambert.msg" ":defaultShaderList1.s" -na;
connectAttr "woodBlinn.msg" ":defaultShaderList1.s" -na;
connectAttr "place2dTexture1.msg" ":defaultRenderUtilityList1.u" -na;
connectAttr "defaultRenderLayer.msg" ":defaultRenderingList1.r" -na;
connectAttr "woodFile.msg" ":defaultTextureList1.tx" -na;
connectAttr "hiddenBallShape.iog" ":initialShadingGroup.dsm" -na;
connectAttr "makeNurbSphere1.os" "globeShape.cr";
connectAttr "signShape.iog" "redLambertSG.dsm" -na;
connectAttr "globeShape.iog" ":initialShadingGroup.dsm" -na;
// End of demo_scene.ma
