(* Programm generiert vom Planox *)
(* QUORVEL Industriesoftware GmbH  *)

Program PLOT;

uses QUORGRAF;


procedure QuorDrawing1;
(********************)
begin
  H_SetColor(12);
  H_Line(1,2,3,4);
  H_Line(3,4,5,0);
  H_SetColor(14);
  H_Circle(10,10,5);
  H_Arc(20,20,0,360,3);
  H_Arc(20,20,30,120,3);
  H_Solid(0,0,10,0,10,10,0,10);
  H_SetLineStyle(3);
  H_SetTextStyle(0,  0,2.5,2);
  H_MoveTo(30,40);
  H_OutTextXy(30,40,'Hello');
  H_SetColor(9);
  H_Line(-1.5,0.25,100,200);
  H_SetTextStyle(0, 90,2.5,2);
  H_MoveTo(1,2);
  H_OutTextXy(1,2,'it''s');
  H_SetTextStyle(1, 45,2.5,2);
  H_MoveTo(3,4);
  H_OutTextXy(3,4,'say "hi"');
end;

var
  ch : char;
begin
  H_Init(0);
  H_InitGraph;
  H_ResetWindow;
  H_DrawQuorGraphTestFrame('QuorGraph');
  H_SetWindow(0,0,0.8,0.9,0,0,200,400,true,true);
  repeat
    H_ClearViewPort;
    QuorDrawing1;
    H_ZoomKey(ch);
  until(ch=#13)or(ch=#27);
  H_CloseGraph;
end.
